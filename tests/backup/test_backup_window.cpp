// The restore window, the backups the ledger window takes by itself and through its menus, and
// the restore offered when the ledger cannot be opened at start-up.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

#include <gtest/gtest.h>

#include "backup_fixture.h"
#include "frm_main.h"
#include "frm_main_backup.h"
#include "frm_restore.h"
#include "image_button.h"
#include "ledger_model.h"
#include "mmain.h"
#include "startup_support.h"

using namespace pelorin;
using backup::FrmRestore;

namespace {

class BackupWindowTest : public test::BackupTest {
protected:
    void TearDown() override
    {
        test::DeleteAllWindows();
        BackupTest::TearDown();
    }
    QString cell(FrmRestore& w, int row, int column)
    {
        return w.lvwBackups->model()->index(row, column).data().toString();
    }
    // Presses Restore in the restore window once it runs modally, on the given row or on the one
    // it marks itself; the message boxes answer Yes and OK by themselves.
    void restoreWhenShown(int row = -1)
    {
        QTimer::singleShot(0, [row] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* r = qobject_cast<FrmRestore*>(w); r && r->isVisible()) {
                    if (row >= 0) r->MarkRow(row);
                    r->CmdRestore->click();
                    // A restore that did not happen must not keep the test waiting.
                    if (r->isVisible()) r->reject();
                }
        });
    }
    // Two backups ten minutes apart (the later one after a third loan) and a damaged newest one.
    void makeBackups()
    {
        takeBackup();
        test::Query(path,
                    QStringLiteral("INSERT INTO TableBook (NameBook, NameBorrower) VALUES ('ثالث', 'هند')"));
        fake.timeValue = QTime(9, 40, 5);
        takeBackup();
        QFile::copy(path, folder() + QStringLiteral("/DataBook-20240310-095000.mdb"));
        QFile::resize(folder() + QStringLiteral("/DataBook-20240310-095000.mdb"), 2048 + 500);
    }
};

TEST_F(BackupWindowTest, ListsNewestFirstAndADamagedBackupCannotBeChosen)
{
    makeBackups();
    const QByteArray ledger = test::Bytes(path);
    FrmRestore w;
    w.LoadBackups();
    w.show();
    ASSERT_EQ(w.lvwBackups->model()->rowCount(), 3);
    EXPECT_EQ(cell(w, 0, 4), QStringLiteral("تالفة"));
    EXPECT_TRUE(w.lvwBackups->model()
                    ->index(0, 0)
                    .data(Qt::ToolTipRole)
                    .toString()
                    .contains(QStringLiteral("لا تصلح")));
    const QStringList second = {cell(w, 1, 0), cell(w, 1, 1), cell(w, 1, 2), cell(w, 1, 3), cell(w, 1, 4)};
    EXPECT_EQ(second, (QStringList{"2024/03/10", "09:40:05", "3", "مكتبتي", "سليمة"}));
    EXPECT_EQ(cell(w, 2, 1), QStringLiteral("09:30:00"));
    EXPECT_EQ(cell(w, 2, 2), QStringLiteral("2"));
    // The newest sound one is marked; the damaged one cannot be.
    EXPECT_TRUE(w.CmdRestore->isEnabled());
    EXPECT_EQ(w.lvwBackups->selectionModel()->selectedRows().value(0).row(), 1);
    w.MarkRow(0);
    EXPECT_FALSE(w.CmdRestore->isEnabled());
    const QString shots = qEnvironmentVariable("PELORIN_SHOTS");
    w.MarkRow(1);
    if (!shots.isEmpty()) w.grab().save(shots + QStringLiteral("/restore-window.png"));

    const int backups = backupNames().size();
    w.CmdCancel->click();
    EXPECT_EQ(w.result(), QDialog::Rejected);
    EXPECT_FALSE(w.Restored());
    EXPECT_EQ(test::Bytes(path), ledger);
    EXPECT_EQ(backupNames().size(), backups);
    EXPECT_TRUE(fake.messages.isEmpty());
}

TEST_F(BackupWindowTest, TheLedgerBacksUpBeforeItsFirstChangeAndRestoresThroughItsMenus)
{
    ledger::FrmMain w;
    w.Form_Load();
    EXPECT_TRUE(backupNames().isEmpty()) << "loading and its duration refresh change nothing";
    EXPECT_TRUE(w.ImgCompact->toolTip().contains(QStringLiteral("نسخة احتياطية")));
    for (QMenu* menu : {w.HelpMenu, w.ListMenu}) {
        QStringList entries;
        for (QAction* a : menu->actions())
            entries << a->text() + QLatin1Char(' ') + a->shortcut().toString();
        EXPECT_TRUE(entries.contains(QStringLiteral("نسخة احتياطية الآن Ctrl+B")))
            << entries.join('|').toStdString();
        EXPECT_TRUE(entries.contains(QStringLiteral("استعادة نسخة احتياطية Ctrl+R")));
    }

    w.lvwRoom_ItemClick(0);
    fake.answers = {MsgResult::Yes};
    w.CmdDelete_Click();
    const QStringList afterDelete = backupNames();
    ASSERT_EQ(afterDelete.size(), 1);
    EXPECT_EQ(test::Dump(backup::ListBackups().first().path).count(QLatin1Char('|')), 4); // both loans
    w.lvwRoom_ItemClick(0);
    w.CmdEdit_Click();
    w.ImgCompact_Click();
    EXPECT_EQ(backupNames().size(), 2) << "the day's first change and the compaction";

    // Restore the backup from before the Delete; the window shows both loans again.
    fake.timeValue = QTime(10, 0);
    fake.messages.clear();
    restoreWhenShown();
    ledger::RestoreFromBackup(w);
    EXPECT_EQ(w.model->rowCount(), 1) << "the newest backup, taken before the compaction, is chosen";
    restoreWhenShown(2);
    ledger::RestoreFromBackup(w);
    EXPECT_EQ(w.model->rowCount(), 2);
    EXPECT_FALSE(w.CmdEdit->isEnabled());
    EXPECT_TRUE(fake.messages.last().text.startsWith(QStringLiteral("تمت استعادة")));
}

TEST_F(BackupWindowTest, AMissingLedgerAtStartUpOffersTheRestoreWindow)
{
    fake.settings[QStringLiteral("Setting/Install")] = QStringLiteral("1");
    takeBackup();
    QFile::remove(path);
    store::ReleasePooledHandles();

    fake.answers = {MsgResult::No};
    EXPECT_TRUE(test::EndsProgram([] { startup::MMain::Main(); }));
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_TRUE(fake.messages[0].text.contains(QStringLiteral("هل تريد فتح نافذة استعادة")));
    EXPECT_EQ(fake.messages[0].style & 0x7, MsgStyle::YesNo);
    EXPECT_FALSE(QFile::exists(path));

    fake.messages.clear();
    restoreWhenShown();
    EXPECT_FALSE(test::EndsProgram([] { startup::MMain::Main(); }));
    const auto ledgers = test::VisibleWindows<ledger::FrmMain>();
    ASSERT_EQ(ledgers.size(), 1);
    EXPECT_EQ(ledgers[0]->model->rowCount(), 2);
    EXPECT_EQ(ledgers[0]->TxtNameLibrary->text(), QStringLiteral("مكتبتي"));
}

} // namespace
