// The list's order worked out in memory against the engine's own ORDER BY, and the durations
// the list shows when they cannot be saved.
#include <QFile>
#include <QRandomGenerator>

#include "collation.h"
#include "ledger_fixture.h"

using namespace pelorin;
using namespace pelorin::ledger;
using namespace pelorin::ledger::testing;

namespace {

class ListOrderTest : public LedgerFixture {
protected:
    // The record keys in the order the engine gives a statement, with the program's collation.
    std::vector<qint64> engineOrder(const QString& statement)
    {
        store::Recordset rs;
        EXPECT_TRUE(rs.Open(statement, store::MData::Conn));
        std::vector<qint64> ids;
        for (int r = 0; r < rs.RecordCount(); ++r)
            ids.push_back(rs.RowIdAt(r));
        return ids;
    }
    static std::vector<qint64> listOrder(const LedgerModel& model)
    {
        std::vector<qint64> ids;
        for (int r = 0; r < model.rowCount(); ++r)
            ids.push_back(model.IdAt(r));
        return ids;
    }
};

// Texts that sort equal or nearly so in the program's collation: case, hamza forms, short
// vowels, tatweel, blanks around, digits of two kinds, dates in two spellings, empty and null.
std::vector<test::BookRow> rowsWithTies(int count)
{
    const QStringList pool = {"أحمد",     "احمد",       "أَحْمَد",       "أحـمد",        " أحمد",
                              "أحمد ",    "Ahmad",      "ahmad",      "AHMAD",        "كتاب",
                              "كتابة",    "كتابه",      "zeta",       "Zeta",         "a-b",
                              "ab",       "a b",        "١٢٣",        "123",          "2024/01/02",
                              "2024/1/2", "2023/12/31", "لم يرد بعد", " لم يرد بعد ", "خطأ في المدخلات",
                              "3 أيام ",  " سنتان ",    "",           "e\u0301",      "\u00e9"};
    QRandomGenerator random(20240601);
    auto pick = [&]() -> QString {
        const int i = int(random.bounded(pool.size() + 1));
        if (i == pool.size()) return QString(); // null
        return random.bounded(4) == 0 ? pool[i] + QString::number(random.bounded(3)) : pool[i];
    };
    std::vector<test::BookRow> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back({pick(), pick(), pick(), pick(), pick(), pick()});
    return rows;
}

TEST_F(ListOrderTest, EveryColumnAndDirectionSortsInMemoryAsTheEngineSorts)
{
    ASSERT_TRUE(test::CreateDatabase(path, test::kTestPassword, rowsWithTies(2500)));
    // Gaps in the record keys: the engine reads the table by key, not by position.
    test::Query(path, "DELETE FROM TableBook WHERE ID % 7 = 3");
    store::MData::OpenDatabase();
    ASSERT_TRUE(store::SortsLikeTheEngine(*store::MData::Conn));

    store::Recordset& rs = store::MData::NewRs();
    ASSERT_TRUE(rs.Open(store::sql::kAllBooks, store::MData::Conn));
    LedgerModel model;
    model.Append(rs, fake.todayValue, {true});
    EXPECT_EQ(listOrder(model), engineOrder(store::sql::kListDefault)) << "the list's own order";

    for (int column = ColNumber; column < ColumnCount; ++column)
        for (bool ascending : {true, false}) {
            model.Sort(column, ascending);
            const QString key = column == ColNumber ? QStringLiteral("ID") : ColumnAt(column).key;
            EXPECT_EQ(listOrder(model), engineOrder(store::sql::SortStatement(key, ascending)))
                << key.toStdString() << (ascending ? " ASC" : " DESC");
        }
}

TEST_F(ListOrderTest, AHeaderClickSortsWithoutReadingTheFileAgain)
{
    FrmMain& w = load({{"جيم", "", "", "2024/01/03", kOut, ""},
                       {"ألف", "", "", "2024/01/01", kOut, ""},
                       {"باء", "", "", "2024/01/02", kOut, ""}});
    store::MData::Rs.reset();
    store::MData::Conn.reset();
    store::ReleasePooledHandles();
    ASSERT_TRUE(QFile::rename(path, path + QStringLiteral(".away")));
    w.lvwRoom_ColumnClick(ColNameBook);
    w.lvwRoom_ColumnClick(ColNameBook);
    EXPECT_EQ(titles(), (QStringList{"جيم", "باء", "ألف"}));
    EXPECT_TRUE(fake.messages.isEmpty());
    EXPECT_TRUE(fake.ends.isEmpty());
}

// A file whose fields compare byte by byte, or whose table has an index, is sorted by the
// engine as before: "B" comes before "a" there.
TEST_F(ListOrderTest, AFileTheEngineSortsOtherwiseIsSortedByTheEngine)
{
    for (const char* change : {"CREATE INDEX ByTitle ON TableBook (NameBook)",
                               "ALTER TABLE TableBook RENAME TO Old;"
                               "CREATE TABLE TableBook (ID INTEGER PRIMARY KEY AUTOINCREMENT, NameBook TEXT,"
                               " NameWriter TEXT COLLATE NOCASE, NameBorrower TEXT COLLATE NOCASE,"
                               " DateLoan TEXT COLLATE NOCASE, DateReturn TEXT COLLATE NOCASE,"
                               " TimeLoan TEXT COLLATE NOCASE);"
                               "INSERT INTO TableBook SELECT * FROM Old; DROP TABLE Old"}) {
        SCOPED_TRACE(change);
        ASSERT_TRUE(test::CreateDatabase(path, test::kTestPassword,
                                         {{"b", "", "", "2024/01/01", kOut, ""},
                                          {"B", "", "", "2024/01/01", kOut, ""},
                                          {"a", "", "", "2024/01/01", kOut, ""}}));
        test::Query(path, QString::fromUtf8(change));
        window = std::make_unique<FrmMain>();
        window->Form_Load();
        EXPECT_FALSE(store::SortsLikeTheEngine(*store::MData::Conn));
        EXPECT_EQ(listOrder(*window->model), engineOrder(store::sql::kListDefault));
        window->lvwRoom_ColumnClick(ColNameBook);
        window->lvwRoom_ColumnClick(ColNameBook);
        EXPECT_EQ(listOrder(*window->model),
                  engineOrder(store::sql::SortStatement(QStringLiteral("NameBook"), false)));
        window.reset();
        TearDown();
    }
}

TEST_F(ListOrderTest, DurationsThatCannotBeSavedAreShownAsOfTodayAfterTheMessage)
{
    ASSERT_TRUE(test::CreateDatabase(
        path, test::kTestPassword,
        {{"ألف", "", "", "2024/03/01", kOut, kInputError}, {"باء", "", "", "2024/03/08", kOut, "قديم"}}));
    test::WriteLock lock(path);
    ASSERT_TRUE(lock.held());
    int rowsAtMessage = -1;
    fake.onMessage = [&](const test::ShownMessage&) { rowsAtMessage = window->model->rowCount(); };
    window = std::make_unique<FrmMain>();
    window->Form_Load();

    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_EQ(fake.messages[0].title, QStringLiteral("خطأ"));
    EXPECT_EQ(rowsAtMessage, 0);
    EXPECT_EQ(window->model->CellText(0, ColTimeLoan), QStringLiteral("9 أيام"));
    EXPECT_EQ(window->model->CellText(1, ColTimeLoan), QStringLiteral("يومان"));
    // No warning from the stale input-error text.
    EXPECT_FALSE(window->model->CellColour(0, ColTimeLoan).isValid());
    // Sorting by duration goes by what is shown: "9 أيام " before "يومان ".
    window->lvwRoom_ColumnClick(ColTimeLoan);
    EXPECT_EQ(titles(), (QStringList{"ألف", "باء"}));
    window->lvwRoom_ColumnClick(ColTimeLoan);
    EXPECT_EQ(titles(), (QStringList{"باء", "ألف"}));
    EXPECT_EQ(test::Query(path, "SELECT TimeLoan FROM TableBook ORDER BY ID"),
              (QStringList{kInputError, QStringLiteral("قديم")}));
}

} // namespace
