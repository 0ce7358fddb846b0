// The names offered while typing: found in the find bar's spelling anywhere in them, the most
// used first, at most the limit, and the author a title always came with.
#include <QStringList>

#include <gtest/gtest.h>

#include "name_index.h"

using namespace pelorin::find;

namespace {

QStringList names(const std::vector<Suggestion>& found)
{
    QStringList out;
    for (const Suggestion& s : found)
        out << s.name;
    return out;
}

} // namespace

TEST(NameIndex, FindsAnySpellingAnywhereMostUsedFirst)
{
    const QStringList loans = {"أحمد", "سارة", " أحمد ", "احمد", "محمود أحمد", "أحمد", "", "ليلى\nسالم"};
    NameIndex::Builder b;
    for (qsizetype i = 0; i < loans.size(); ++i)
        b.Add(loans[i], {}, i);
    const NameIndex index = b.Finish();
    const struct {
        const char* typed;
        QStringList offered;
    } cases[] = {
        {"احم", {"أحمد", "محمود أحمد", "احمد"}},  // hamza forms; used 3, 1 (lent later) and 1 times
        {" مد ", {"أحمد", "محمود أحمد", "احمد"}}, // inside a word, blanks around the typed text
        {"ساره", {"سارة"}},                       // ta marbuta
        {"ليلي سا", {"ليلى\nسالم"}},              // a line break in a name reads as a space
        {"زينب", {}},
        {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(names(index.Suggest(QString::fromUtf8(c.typed))), c.offered) << c.typed;
}

TEST(NameIndex, KeepsToTheLimitAndGivesTheOneAuthorOfATitle)
{
    QStringList titles; // the builder reads them until Finish
    for (int i = 0; i < 30; ++i)
        titles << QStringLiteral("كتاب %1").arg(i);
    NameIndex::Builder b;
    for (int i = 0; i < 30; ++i)
        for (int times = 0; times <= i; ++times)
            b.Add(titles[i], i == 7 && times == 3 ? u"آخر" : u"مؤلف", i);
    b.Add(QStringLiteral("الأيام"), u" طه حسين ", 0);
    b.Add(QStringLiteral("الأيام "), u"طه حسين", 0);
    const NameIndex index = b.Finish();

    EXPECT_EQ(names(index.Suggest(QStringLiteral("كتاب 2"))),
              (QStringList{"كتاب 29", "كتاب 28", "كتاب 27", "كتاب 26", "كتاب 25", "كتاب 24", "كتاب 23",
                           "كتاب 22", "كتاب 21", "كتاب 20"}))
        << "eleven hold it: the least used one is left out";
    EXPECT_EQ(index.Suggest(QStringLiteral("كتاب"), 3).size(), 3u);
    EXPECT_EQ(index.Suggest(QStringLiteral("كتاب 8")).front().companion, QStringLiteral("مؤلف"));
    EXPECT_EQ(index.Suggest(QStringLiteral("كتاب 7")).front().companion, QString()) << "lent with two";
    EXPECT_EQ(index.Suggest(QStringLiteral("الايام")).front().companion, QStringLiteral("طه حسين"));
}
