// The report and compaction buttons of the ledger window, driven as the owner would.
#include <QAbstractItemModel>
#include <QFile>
#include <QFileInfo>
#include <QTableView>

#include <gtest/gtest.h>

#include "compact.h"
#include "database.h"
#include "database_test.h"
#include "drpelorin.h"
#include "frm_main.h"
#include "ledger_model.h"
#include "mdata.h"
#include "qt_printers.h"
#include "test_db.h"

using namespace pelorin;

namespace {

class CompactButtonTest : public test::DatabaseTest {
protected:
    void TearDown() override
    {
        ledger::DRPelorin().dataSource.reset();
        DatabaseTest::TearDown();
    }
};

TEST_F(CompactButtonTest, TheListStillWorksAfterCompaction)
{
    ASSERT_TRUE(test::CreateDatabase(path));
    ASSERT_TRUE(test::FillBooks(path, 600));
    test::Query(path, QStringLiteral("DELETE FROM TableBook WHERE ID > 200"));
    const qint64 before = QFileInfo(path).size();

    ledger::FrmMain main;
    main.Form_Load();
    ASSERT_TRUE(main.lvwRoom->model());
    ASSERT_EQ(main.lvwRoom->model()->rowCount(), 200);
    fake.messages.clear();

    main.ImgCompact_Click();
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_EQ(fake.messages[0].text, QStringLiteral("تم ضغط وإصلاح قاعدة البيانات بنجاح"));
    EXPECT_LT(QFileInfo(path).size(), before);
    EXPECT_EQ(main.lvwRoom->model()->rowCount(), 200);
    EXPECT_TRUE(store::MData::Conn && store::MData::Conn->IsOpen());

    // A write after the compaction lands in the new file.
    store::Recordset& rs = store::MData::NewRs();
    store::MData::OpenDatabase();
    ASSERT_TRUE(rs.Open(store::sql::kAllBooks, store::MData::Conn));
    rs.AddNew();
    rs.SetField(QStringLiteral("NameBook"), QStringLiteral("جديد"));
    ASSERT_TRUE(rs.Update());
    EXPECT_EQ(test::Query(path, QStringLiteral("SELECT count(*) FROM TableBook")).value(0),
              QStringLiteral("201"));
}

TEST_F(CompactButtonTest, TheListKeepsItsSortOrderAndMarkedRow)
{
    ASSERT_TRUE(test::CreateDatabase(path));
    ASSERT_TRUE(test::FillBooks(path, 30));
    ledger::FrmMain main;
    main.Form_Load();
    main.show(); // a hidden list marks no row
    main.lvwRoom_ColumnClick(ledger::ColNameWriter);
    main.lvwRoom_ColumnClick(ledger::ColNameWriter); // authors descending
    ASSERT_EQ(main.SortOrder, QStringLiteral(" DESC "));
    main.lvwRoom_ItemClick(4);
    ASSERT_EQ(main.lvwRoom->currentIndex().row(), 4);
    QStringList before;
    for (int r = 0; r < main.model->rowCount(); ++r)
        before << main.model->CellText(r, ledger::ColNameWriter) +
                      main.model->CellText(r, ledger::ColNameBook);
    const qint64 marked = main.SelectedId;
    fake.messages.clear();

    main.ImgCompact_Click();
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_EQ(fake.messages[0].text, QStringLiteral("تم ضغط وإصلاح قاعدة البيانات بنجاح"));
    QStringList after;
    for (int r = 0; r < main.model->rowCount(); ++r)
        after << main.model->CellText(r, ledger::ColNameWriter) +
                     main.model->CellText(r, ledger::ColNameBook);
    EXPECT_EQ(after, before);
    EXPECT_EQ(main.model->HeaderImage(ledger::ColNameWriter), 1);
    EXPECT_EQ(main.lvwRoom->currentIndex().row(), 4);
    EXPECT_EQ(main.model->IdAt(4), marked);

    // Edit still acts on the marked record of the compacted file.
    main.TxtNameBook->setText(QStringLiteral("بعد الضغط"));
    main.CmdEdit_Click();
    EXPECT_EQ(test::Query(path, QStringLiteral("SELECT NameBook FROM TableBook WHERE ID = %1").arg(marked))
                  .value(0),
              QStringLiteral("بعد الضغط"));
}

TEST_F(CompactButtonTest, ATransactionHeldElsewhereLeavesTheWindowWorking)
{
    ASSERT_TRUE(test::CreateDatabase(path));
    ASSERT_TRUE(test::FillBooks(path, 20));
    ledger::FrmMain main;
    main.Form_Load();
    fake.messages.clear();

    store::Connection other;
    ASSERT_TRUE(other.Open(store::MData::FullConnectionText()));
    ASSERT_TRUE(other.BeginTrans());
    // A deferred transaction locks nothing until it writes.
    store::Recordset pending;
    ASSERT_TRUE(
        pending.Open(store::sql::kAllBooks, std::shared_ptr<store::Connection>(&other, [](auto*) {})));
    pending.AddNew();
    pending.SetField(QStringLiteral("NameBook"), QStringLiteral("لم يحفظ"));
    ASSERT_TRUE(pending.Update());
    main.ImgCompact_Click();
    other.RollbackTrans();
    pending.Close();

    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_TRUE(fake.messages[0].text.startsWith(QStringLiteral("    لم تتم عملية ضغط قاعدة البيانات")));
    EXPECT_EQ(main.lvwRoom->model()->rowCount(), 20);
    EXPECT_FALSE(QFile::exists(store::MData::CompactTempPath(path)));
}

} // namespace
