// The spelling normalisation, rule by rule and combined, and the words of a typed filter.
#include <gtest/gtest.h>

#include "arabic_normalize.h"
#include "row_filter.h"

using namespace pelorin::find;

namespace {

struct Case {
    const char* what;
    const char16_t* in;
    const char16_t* out;
};

const Case kCases[] = {
    {"empty", u"", u""},
    {"nothing to change", u"كتاب 12 abc", u"كتاب 12 abc"},
    {"hamza above alef", u"أحمد", u"احمد"},
    {"hamza below alef", u"إبراهيم", u"ابراهيم"},
    {"madda alef", u"آمال", u"امال"},
    {"wasla alef", u"ٱلكتاب", u"الكتاب"},
    {"ta marbuta", u"مكتبة", u"مكتبه"},
    {"alef maqsura", u"مصطفى", u"مصطفي"},
    {"hamza on waw", u"مؤلف", u"مولف"},
    {"hamza on ya", u"رئيس", u"رييس"},
    {"lone hamza kept", u"سماء", u"سماء"},
    {"short vowels, sukun, shadda", u"مُحَمَّد", u"محمد"},
    {"tanween", u"كتابًا ٌ ٍ", u"كتابا  "},
    {"marks up to U+065F", u"ع\u0653\u0654\u0655\u065F", u"ع"},
    {"superscript alef", u"هٰذا", u"هذا"},
    {"tatweel", u"كتـــاب", u"كتاب"},
    {"Arabic-Indic digits", u"٢٠٢٤/٠٣/٠٩", u"2024/03/09"},
    {"Eastern Arabic-Indic digits", u"۱۲۳۴۵۶۷۸۹۰", u"1234567890"},
    {"Latin case", u"Qt CSV Ünïcode", u"qt csv ünïcode"},
    {"invisible marks", u"\u200Fأحمد\u200C\u200E", u"احمد"},
    {"all at once", u"أَحْمَـــدُ الإسكندرانيّة ١٩", u"احمد الاسكندرانيه 19"},
    {"only diacritics", u"\u064B\u064E\u0650\u0652\u0670\u0640", u""},
};

TEST(Normalize, Table)
{
    for (const Case& c : kCases)
        EXPECT_EQ(NormalizeForSearch(QString::fromUtf16(c.in)), QString::fromUtf16(c.out)) << c.what;
}

TEST(Normalize, IsIdempotent)
{
    for (const Case& c : kCases) {
        const QString once = NormalizeForSearch(QString::fromUtf16(c.in));
        EXPECT_EQ(NormalizeForSearch(once), once) << c.what;
    }
}

TEST(RowFilter, EveryWordAnywhereInAnyOrderButNotAcrossFields)
{
    const QString row = SearchText({u"كتاب الأيام"_qs, u"طه حسين"_qs, u"أحمد"_qs, u"2024/03/05"_qs});
    EXPECT_TRUE(RowFilter(u"  "_qs).IsEmpty());
    EXPECT_TRUE(RowFilter(u"  "_qs).Matches(row));
    EXPECT_TRUE(RowFilter(u"احمد الايام"_qs).Matches(row));
    EXPECT_TRUE(RowFilter(u"حسي  أَيام\t٢٠٢٤/٠٣"_qs).Matches(row));
    EXPECT_FALSE(RowFilter(u"احمد سالم"_qs).Matches(row));
    EXPECT_FALSE(RowFilter(u"الأيامطه"_qs).Matches(row)) << "no match across two fields";
    // Repeated words and words inside longer ones are looked for once.
    EXPECT_EQ(RowFilter(u"حمد احمد حمد"_qs).Words(), QStringList{u"احمد"_qs});
}

} // namespace
