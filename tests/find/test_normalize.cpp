// The spelling normalisation, rule by rule and combined, and the words of a typed filter.
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include "arabic_normalize.h"
#include "row_filter.h"

using namespace pelorin::find;

TEST(Normalize, Table)
{
    const struct {
        const char16_t* in;
        const char16_t* out;
    } cases[] = {
        {u"", u""},
        {u"كتاب 12 abc", u"كتاب 12 abc"},
        {u"أحمد إبراهيم آمال ٱلكتاب", u"احمد ابراهيم امال الكتاب"}, // hamza and madda forms of alef
        {u"مكتبة مصطفى مؤلف رئيس سماء", u"مكتبه مصطفي مولف رييس سماء"},
        {u"مُحَمَّد كتابًا هٰذا ع\u0653\u0655\u065F", u"محمد كتابا هذا ع"}, // marks U+064B..U+065F, U+0670
        {u"كتـــاب", u"كتاب"},                                        // tatweel
        {u"٢٠٢٤/٠٣/٠٩ ۱۲۳۴۵۶۷۸۹۰", u"2024/03/09 1234567890"},
        {u"Qt CSV Ünïcode", u"qt csv ünïcode"},
        {u"\u200Fأحمد\u200C\u200E", u"احمد"}, // invisible direction and joining marks
        {u"أَحْمَـــدُ الإسكندرانيّة ١٩", u"احمد الاسكندرانيه 19"},
        {u"\u064B\u064E\u0650\u0652\u0670\u0640", u""}, // nothing but marks
    };
    for (const auto& c : cases) {
        const QString once = NormalizeForSearch(QString::fromUtf16(c.in));
        EXPECT_EQ(once, QString::fromUtf16(c.out));
        EXPECT_EQ(NormalizeForSearch(once), once) << "normalising twice changes nothing";
    }
}

TEST(RowFilter, EveryWordAnywhereInAnyOrderButNotAcrossFields)
{
    const QString row = SearchText({u"كتاب الأيام", u"طه حسين", u"أحمد", u"2024/03/05"});
    EXPECT_TRUE(RowFilter(u" \t"_qs).IsEmpty());
    EXPECT_TRUE(RowFilter(u"احمد الايام"_qs).Matches(row));
    EXPECT_TRUE(RowFilter(u"حسي  أَيام\t٢٠٢٤/٠٣"_qs).Matches(row));
    EXPECT_FALSE(RowFilter(u"احمد سالم"_qs).Matches(row));
    EXPECT_FALSE(RowFilter(u"الأيامطه"_qs).Matches(row)) << "no match across two fields";
    EXPECT_EQ(RowFilter(u"حمد احمد حمد"_qs).Words(), QStringList{u"احمد"_qs});
}

// The quick word search finds exactly what a plain search finds, from any place on.
TEST(WordFinder, FindsWhatAPlainSearchFinds)
{
    QRandomGenerator random(13);
    const QString letters = u"ابتاابب12/9a"_qs;
    auto text = [&](int length) {
        QString t;
        for (int i = 0; i < length; ++i)
            t += letters.at(random.bounded(letters.size()));
        return t;
    };
    for (int round = 0; round < 3000; ++round) {
        const QString haystack = text(int(random.bounded(60)));
        const QString word = text(1 + int(random.bounded(4)));
        const WordFinder finder(word, text(int(random.bounded(30))));
        const qsizetype from = random.bounded(haystack.size() + 2);
        ASSERT_EQ(finder.IndexIn(haystack, from), QStringView(haystack).indexOf(word, from))
            << haystack.toStdString() << " / " << word.toStdString() << " from " << from;
    }
}
