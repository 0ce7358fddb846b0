// The backup commands of the ledger window and the backups its changes take by themselves.
#include "frm_main_backup.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMenu>

#include "auto_backup.h"
#include "frm_main.h"
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
        [this] { RestoreFromBackup(*this); }, u'ق');
    for (QMenu* menu : {HelpMenu, ListMenu}) {
        if (!menu->isEmpty()) menu->addSeparator();
        menu->addAction(now);
        menu->addAction(restore);
    }
    autoBackup = std::make_unique<backup::AutoBackup>();
}

void BackupBeforeChange(FrmMain& w)
{
    warn(w.autoBackup->beforeChange());
}

void BackupBeforeCompaction(FrmMain& w)
{
    warn(w.autoBackup->beforeCompaction());
}

void BackupNow()
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

void RestoreFromBackup(FrmMain& w)
{
    backup::FrmRestore window(&w);
    window.LoadBackups();
    window.exec();
    if (!window.Restored()) return;
    // Another file: its rows, durations and library name, in the list's first order.
    w.SortColumn.clear();
    w.SortOrder.clear();
    w.Form_Load();
    w.CmdClear_Click();
}

} // namespace pelorin::ledger
