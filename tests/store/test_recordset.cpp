// The result set the commands rely on: reading, writing back by rowid, ordering and errors.
#include <gtest/gtest.h>

#include "database.h"
#include "database_test.h"
#include "test_db.h"

using namespace pelorin;
using namespace pelorin::store;

namespace {

class RecordsetTest : public test::DatabaseTest {
protected:
    void make(const std::vector<test::BookRow>& rows, const QString& library = QStringLiteral("مكتبتي"))
    {
        ASSERT_TRUE(test::CreateDatabase(path, test::kTestPassword, rows, library));
        MData::OpenDatabase();
    }
    QStringList column(const QString& statement, const QString& field)
    {
        Recordset rs;
        EXPECT_TRUE(rs.Open(statement, MData::Conn));
        QStringList out;
        for (; !rs.Eof(); rs.MoveNext())
            out << rs.Text(field);
        return out;
    }
};

const QString kBook = QStringLiteral("NameBook");

} // namespace

TEST_F(RecordsetTest, ReadsFieldsByNameWithNullsAndEmptyTexts)
{
    make({{"كتاب", "", QString(), "2024/01/01", "لم يرد بعد", "x"}});
    Recordset rs;
    ASSERT_TRUE(rs.Open(sql::kAllBooks, MData::Conn));
    ASSERT_FALSE(rs.Eof());
    EXPECT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.Field(QStringLiteral("namebook")).toString(), QStringLiteral("كتاب"));
    EXPECT_FALSE(rs.Field(QStringLiteral("NameWriter")).isNull());
    EXPECT_TRUE(rs.Field(QStringLiteral("NameBorrower")).isNull());
    EXPECT_EQ(rs.Text(QStringLiteral("NameBorrower")), QString());
    EXPECT_EQ(rs.Text(QStringLiteral("ID")), QStringLiteral("1"));
    EXPECT_EQ(rs.FieldNames().size(), 7);
    rs.MoveNext();
    EXPECT_TRUE(rs.Eof());
}

TEST_F(RecordsetTest, AnAssignmentIsSavedByTheMoveAndOnlyOnItsRow)
{
    make({{"أ", "", "", "", "", "1"}, {"ب", "", "", "", "", "2"}, {"ج", "", "", "", "", "3"}});
    Recordset rs;
    ASSERT_TRUE(rs.Open(sql::kAllBooks, MData::Conn));
    rs.MoveNext();
    rs.SetField(QStringLiteral("TimeLoan"), QStringLiteral("تغير"));
    EXPECT_TRUE(rs.MoveNext());
    // The last row's assignment is saved as the cursor reaches the end.
    rs.SetField(QStringLiteral("TimeLoan"), QStringLiteral("أخير"));
    EXPECT_TRUE(rs.MoveNext());
    EXPECT_TRUE(rs.Eof());
    EXPECT_EQ(test::Query(path, "SELECT TimeLoan FROM TableBook ORDER BY ID"),
              QStringList({"1", "تغير", "أخير"}));
}

// The list keeps the rows it was filled from; a later change through the set must not show
// in them, and a text with a broken UTF-8 sequence reads as QString::fromUtf8 reads it.
TEST_F(RecordsetTest, RowsHandedToAReaderStayAsTheyWereRead)
{
    make({{"أ", "", "", "", "", "قديم"}, {"ب", "", "", "", "", "قديم"}});
    test::Query(path, "UPDATE TableBook SET NameWriter = CAST(X'EFBBBF41C3' AS TEXT) WHERE ID = 2");
    Recordset rs;
    ASSERT_TRUE(rs.Open(sql::kAllBooks, MData::Conn));
    const std::shared_ptr<const TextTable> kept = rs.Rows();
    const int time = rs.FieldIndex(QStringLiteral("TimeLoan"));
    rs.SetField(QStringLiteral("TimeLoan"), QStringLiteral("جديد"));
    ASSERT_TRUE(rs.MoveNext());
    EXPECT_EQ(rs.ValueAt(0, time), QStringLiteral("جديد"));
    EXPECT_EQ(kept->View(0, time), QStringLiteral("قديم"));
    EXPECT_EQ(kept->View(1, rs.FieldIndex(QStringLiteral("NameWriter"))),
              QString::fromUtf8("\xEF\xBB\xBF\x41\xC3"));
    ASSERT_TRUE(rs.Delete());
    EXPECT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(kept->RowCount(), 2);
}

TEST_F(RecordsetTest, AddNewGetsTheNextKeyAndDeleteRemovesOnlyTheCurrentRow)
{
    make({{"أ", "", "", "", "", ""}, {"ب", "", "", "", "", ""}});
    Recordset rs;
    ASSERT_TRUE(rs.Open(sql::kAllBooks, MData::Conn));
    rs.AddNew();
    rs.SetField(kBook, QStringLiteral("  'كتاب' 100% _x_  "));
    rs.SetField(QStringLiteral("DateLoan"), QStringLiteral("2024/03/10"));
    ASSERT_TRUE(rs.Update());
    EXPECT_EQ(rs.Text(QStringLiteral("ID")), QStringLiteral("3"));
    EXPECT_EQ(rs.Text(kBook), QStringLiteral("  'كتاب' 100% _x_  "));
    EXPECT_EQ(rs.RecordCount(), 3);

    Recordset one;
    ASSERT_TRUE(one.Open(sql::kBookById, MData::Conn, {qint64(1)}));
    ASSERT_EQ(one.RecordCount(), 1);
    ASSERT_TRUE(one.Delete());
    EXPECT_EQ(test::Query(path, "SELECT NameBook FROM TableBook ORDER BY ID"),
              QStringList({"ب", "  'كتاب' 100% _x_  "}));
    // Deleting or updating a row that is gone meanwhile fails and says so.
    Recordset stale;
    ASSERT_TRUE(stale.Open(sql::kBookById, MData::Conn, {qint64(2)}));
    test::Query(path, "DELETE FROM TableBook WHERE ID = 2");
    stale.SetField(kBook, QStringLiteral("جديد"));
    EXPECT_FALSE(stale.Update());
    EXPECT_EQ(MData::Conn->Error().number, kErrRowGone);
    EXPECT_EQ(stale.Text(kBook), QStringLiteral("ب"));
    EXPECT_FALSE(stale.Delete());
}

TEST_F(RecordsetTest, TheSettingsTableWithoutAKeyIsUpdatable)
{
    make({});
    Recordset rs;
    ASSERT_TRUE(rs.Open(sql::kSetting, MData::Conn));
    ASSERT_FALSE(rs.Eof());
    rs.SetField(QStringLiteral("NameLibrary"), QStringLiteral("مكتبة البيت"));
    ASSERT_TRUE(rs.Update());
    EXPECT_EQ(test::Query(path, "SELECT NameLibrary FROM TableSetting"), QStringList({"مكتبة البيت"}));
}

TEST_F(RecordsetTest, OrdersArabicTextAsAReaderAndDatesByDate)
{
    make({{"تفاح", "أحمد", "ب", "2024/03/10", "لم يرد بعد", ""},
          {"پرتقال", "إبراهيم", "أ", "2023/12/31", "2024/01/05", ""},
          {"بطيخ", "", "ج", "2024/01/01", "2023/05/01", ""},
          {"apple", "", "د", "2022/07/07", "2022/08/08", ""},
          {"Banana", "", "ه", "2022/07/08", "2022/08/09", ""},
          {"تفاح", "", "ا", "2021/01/01", "2021/01/02", ""}});
    // The Arabic alphabet (with Persian letters in their place), then Latin without regard to case;
    // ties by borrower.
    EXPECT_EQ(column(sql::kListDefault, kBook),
              QStringList({"بطيخ", "پرتقال", "تفاح", "تفاح", "apple", "Banana"}));
    EXPECT_EQ(column(sql::kListDefault, QStringLiteral("NameBorrower")).mid(2, 2), QStringList({"ا", "ب"}));
    // Hamza forms of alef sort with alef, by the letters that follow.
    EXPECT_EQ(column(sql::SortStatement(QStringLiteral("NameWriter"), true), QStringLiteral("NameWriter"))
                  .mid(4, 2),
              QStringList({"إبراهيم", "أحمد"}));
    EXPECT_EQ(
        column(sql::SortStatement(QStringLiteral("DateLoan"), true), QStringLiteral("DateLoan")),
        QStringList({"2021/01/01", "2022/07/07", "2022/07/08", "2023/12/31", "2024/01/01", "2024/03/10"}));
    // The not-returned marker sorts after every date.
    EXPECT_EQ(
        column(sql::SortStatement(QStringLiteral("DateReturn"), false), QStringLiteral("DateReturn")).first(),
        QStringLiteral("لم يرد بعد"));
    EXPECT_EQ(column(sql::SortStatement(QStringLiteral("ID"), false), QStringLiteral("ID")).first(),
              QStringLiteral("6"));
    // An unknown column falls back to the key.
    EXPECT_EQ(sql::SortStatement(QStringLiteral("x; DROP TABLE TableBook"), true),
              QStringLiteral("SELECT * FROM TableBook ORDER BY TableBook.ID  ASC  ,TableBook.NameBook asc "));
}

TEST_F(RecordsetTest, ContainsSearchAndErrorsOfAClosedConnection)
{
    make({{"عالم الكتب", "", "", "", "", ""}, {"الكتب", "", "", "", "", ""}});
    EXPECT_EQ(column(QStringLiteral("SELECT * FROM TableBook WHERE NameBook like '%الكتب%'"), kBook).size(),
              2);
    auto conn = MData::Conn;
    conn->Close();
    Recordset rs;
    EXPECT_FALSE(rs.Open(sql::kAllBooks, conn));
    EXPECT_EQ(conn->Error().number, kErrNotOpen);
    // Reopening with empty arguments uses the text of the last successful open.
    ASSERT_TRUE(conn->Open());
    EXPECT_TRUE(rs.Open(sql::kAllBooks, conn));
    EXPECT_EQ(rs.RecordCount(), 2);
    // A malformed statement reports the engine's text.
    EXPECT_FALSE(rs.Open(QStringLiteral("SELECT * FROM TableBook WHERE NameBook like '%it's%'"), conn));
    EXPECT_EQ(conn->Error().number, kErrEngine);
    EXPECT_FALSE(conn->Error().description.isEmpty());
}

TEST(ConnectionText, ReadsTheSourceAndThePassword)
{
    const auto p =
        ParseConnectionText(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source "
                                           "=/opt/p\\DataBook.mdb;Jet OLEDB:Database Password=a=b;x=y"));
    EXPECT_EQ(p.dataSource, QStringLiteral("/opt/p/DataBook.mdb"));
    EXPECT_TRUE(p.hasPassword);
    EXPECT_EQ(p.password, QStringLiteral("a=b"));
    EXPECT_FALSE(ParseConnectionText(QStringLiteral("Data Source=/x")).hasPassword);
}

TEST(ConnectionText, AFolderWithSemicolonsInItsNameIsKeptWhole)
{
    struct Row {
        const char* text;
        const char* source;
    };
    for (const Row& r : {
             Row{"Provider=P;Data Source=/home/u/Books; old\\DataBook.mdb;Jet OLEDB:Database Password=k",
                 "/home/u/Books; old/DataBook.mdb"},
             Row{"Data Source=/a;b/c;;d\\DataBook.mdb;Password=k", "/a;b/c;;d/DataBook.mdb"},
             Row{"Data Source=/a;x/b=c/DataBook.mdb;Password=k", "/a;x/b=c/DataBook.mdb"},
             Row{"Data Source=/x/DataBook.mdb;", "/x/DataBook.mdb"},
             Row{"Data Source=/x/DataBook.mdb; ;Password=k", "/x/DataBook.mdb"},
         }) {
        const auto p = ParseConnectionText(QString::fromUtf8(r.text));
        EXPECT_EQ(p.dataSource, QString::fromUtf8(r.source)) << r.text;
        EXPECT_EQ(p.hasPassword, QByteArray(r.text).contains("Password=k")) << r.text;
    }
}
