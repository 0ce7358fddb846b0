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
};

QString cell(FrmRestore& w, int row, int column)
{
    return w.lvwBackups->model()->index(row, column).data().toString();
}

TEST_F(BackupWindowTest, ListsNewestFirstAndADamagedBackupCannotBeChosen)
{
    takeBackup();
    test::Query(path, QStringLiteral("INSERT INTO TableBook (NameBook) VALUES ('ثالث')"));
    fake.timeValue = QTime(9, 40, 5);
    takeBackup();
    const QString damaged = folder() + QStringLiteral("/DataBook-20240310-095000.mdb");
    QFile::copy(path, damaged);
    QFile::resize(damaged, 2548);
    const QByteArray ledger = test::Bytes(path);

    FrmRestore w;
    w.LoadBackups();
    ASSERT_EQ(w.lvwBackups->model()->rowCount(), 3);
    EXPECT_EQ(cell(w, 0, 4), QStringLiteral("تالفة"));
    const QStringList second = {cell(w, 1, 0), cell(w, 1, 1), cell(w, 1, 2), cell(w, 1, 3), cell(w, 1, 4)};
    EXPECT_EQ(second, (QStringList{"2024/03/10", "09:40:05", "3", "مكتبتي", "سليمة"}));
    EXPECT_EQ(cell(w, 2, 1) + ' ' + cell(w, 2, 2), QStringLiteral("09:30:00 2"));
    // The newest sound one is marked; the damaged one cannot be.
    EXPECT_TRUE(w.CmdRestore->isEnabled());
    w.MarkRow(0);
    EXPECT_FALSE(w.CmdRestore->isEnabled());
    w.MarkRow(1);
    if (!qEnvironmentVariableIsEmpty("PELORIN_SHOTS"))
        w.grab().save(qEnvironmentVariable("PELORIN_SHOTS") + QStringLiteral("/restore-window.png"));

    w.CmdCancel->click();
    EXPECT_FALSE(w.Restored());
    EXPECT_EQ(test::Bytes(path), ledger);
    EXPECT_EQ(backupNames().size(), 3);
    EXPECT_TRUE(fake.messages.isEmpty());
}

TEST_F(BackupWindowTest, TheLedgerBacksUpBeforeItsFirstChangeAndBeforeCompaction)
{
    ledger::FrmMain w;
    w.Form_Load();
    EXPECT_TRUE(backupNames().isEmpty()) << "loading and its duration refresh change nothing";
    EXPECT_TRUE(w.ImgCompact->toolTip().contains(QStringLiteral("نسخة احتياطية")));
    for (QMenu* menu : {w.HelpMenu, w.ListMenu}) {
        QStringList entries;
        for (QAction* a : menu->actions()) {
            entries << a->text() + ' ' + a->shortcut().toString();
            // The same keys work with only the Arabic layout on the keyboard.
            if (a->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_R)) {
                EXPECT_TRUE(a->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key(u'ق'))));
            }
        }
        EXPECT_TRUE(entries.contains(QStringLiteral("نسخة احتياطية الآن Ctrl+B")));
        EXPECT_TRUE(entries.contains(QStringLiteral("استعادة نسخة احتياطية Ctrl+R")));
    }
    w.lvwRoom_ItemClick(0);
    w.CmdDelete_Click();
    ASSERT_EQ(backupNames().size(), 1);
    EXPECT_EQ(test::Dump(backup::ListBackups().first().path).count('|'), 2) << "both loans";
    w.lvwRoom_ItemClick(0);
    w.CmdEdit_Click();
    w.ImgCompact_Click();
    EXPECT_EQ(backupNames().size(), 2) << "the day's first change and the compaction";

    // Restore the backup from before the Delete (the window marks the newest; row 1 is older).
    fake.timeValue = QTime(10, 0);
    QTimer::singleShot(0, [] {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* r = qobject_cast<FrmRestore*>(top); r && r->isVisible()) {
                r->MarkRow(1);
                r->CmdRestore->click();
                if (r->isVisible()) r->reject(); // a restore that failed must not keep the test waiting
            }
    });
    w.RestoreFromBackup();
    EXPECT_EQ(w.model->rowCount(), 2);
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
}

} // namespace
