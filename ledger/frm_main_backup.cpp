// The backup commands of the ledger window and the backups its changes take by themselves.
#include "frm_main.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMenu>

#include "auto_backup.h"
#include "frm_restore.h"
#include "image_button.h"
#include "msgbox.h"
#include "take_backup.h"

namespace pelorin::ledger {

namespace {

constexpr int kRtl = MsgStyle::RightAlign | MsgStyle::RtlReading;
const QString kNoticeTitle = QStringLiteral("تنبيه");

void warn(const QString& warning)
{
    if (!warning.isEmpty()) chrome::MsgBox(warning, MsgStyle::Exclamation | kRtl, kNoticeTitle);
}

} // namespace

void FrmMain::buildBackupCommands()
{
    ImgCompact->setToolTip(QStringLiteral("ضغط وصيانة قاعدة البيانات\nتُحفظ نسخة احتياطية منها قبل كل ضغط"));
    // On the Arabic layout the keys marked B and R give the lam-alef ligature and qaf.
    QAction* now = addCommand(
        QStringLiteral("نسخة احتياطية الآن"), QKeySequence(Qt::CTRL | Qt::Key_B), [] { BackupNow(); },
        u'\uFEFB');
    QAction* restore = addCommand(
        QStringLiteral("استعادة نسخة احتياطية"), QKeySequence(Qt::CTRL | Qt::Key_R),
        [this] { RestoreFromBackup(); }, u'ق');
    for (QMenu* menu : {HelpMenu, ListMenu}) {
        if (!menu->isEmpty()) menu->addSeparator();
        menu->addAction(now);
        menu->addAction(restore);
    }
    autoBackup = std::make_unique<backup::AutoBackup>();
}

void FrmMain::BackupBeforeChange()
{
    warn(autoBackup->beforeChange());
}

void FrmMain::BackupBeforeCompaction()
{
    warn(autoBackup->beforeCompaction());
}

void FrmMain::BackupBeforeImport()
{
    warn(autoBackup->beforeImport());
}

void FrmMain::BackupNow()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const backup::Outcome o = backup::TakeBackup();
    QApplication::restoreOverrideCursor();
    if (o.ok)
        chrome::MsgBox(QStringLiteral("تم حفظ نسخة احتياطية من قاعدة البيانات بنجاح"),
                       MsgStyle::Information | kRtl, kNoticeTitle);
    else
        chrome::MsgBox(QStringLiteral("تعذر حفظ نسخة احتياطية من قاعدة البيانات\n\n") + o.reason,
                       MsgStyle::Critical | kRtl, QStringLiteral("خطأ"));
}

void FrmMain::RestoreFromBackup()
{
    backup::FrmRestore window(this);
    window.LoadBackups();
    window.exec();
    if (!window.Restored()) return;
    // Another file: its rows, durations and library name, in the list's first order.
    SortColumn.clear();
    SortOrder.clear();
    Form_Load();
    CmdClear_Click();
}

} // namespace pelorin::ledger
