// Loans brought in from a spreadsheet file: the file chosen and read, the preview, a backup, the
// rows written in one transaction with a progress bar that can cancel, and the list rebuilt.
#include "frm_main.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QProgressDialog>

#include "auto_backup.h"
#include "database.h"
#include "file_dialog.h"
#include "frm_import.h"
#include "import_summary.h"
#include "import_write.h"
#include "ledger_model.h"
#include "list_import.h"
#include "mdata.h"
#include "msgbox.h"

namespace pelorin::ledger {

using store::MData::Conn;

namespace {

constexpr int kRtl = MsgStyle::RightAlign | MsgStyle::RtlReading;
const QString kNoticeTitle = QStringLiteral("تنبيه");
const QString kErrorTitle = QStringLiteral("خطأ");
// How many refused rows the summary names; the preview lists them all.
constexpr qsizetype kRefusedInSummary = 15;

// The folder of the last import in this session: the next one opens there.
QString lastImportFolder;

QString importFolder()
{
    return !lastImportFolder.isEmpty() && QDir(lastImportFolder).exists() ? lastImportFolder
                                                                          : DocumentsOrHome();
}

void refuseFile(const QString& path, const QString& why)
{
    chrome::MsgBox(QStringLiteral("تعذر استيراد الملف:\n%1\n\n%2").arg(PathInMessage(path), why),
                   MsgStyle::Critical | kRtl, kErrorTitle);
}

// The whole file, or false with the owner told why: missing, unreadable, too large, or failing
// while it is read.
bool readFile(const QString& path, QByteArray& bytes)
{
    QFile f(path);
    QString why;
    if (!f.open(QIODevice::ReadOnly)) {
        why = store::Explained(store::FileCause(f.error(), errno), f.errorString());
    } else if (f.size() > importing::kMaxFileBytes) {
        why = QStringLiteral("الملف أكبر من 100 ميغابايت");
    } else {
        errno = 0;
        bytes = f.readAll();
        if (f.error() != QFileDevice::NoError)
            why = store::Explained(store::FileCause(f.error(), errno), f.errorString());
    }
    if (why.isEmpty()) return true;
    chrome::MsgBox(QStringLiteral("تعذرت قراءة الملف:\n%1\n\n%2").arg(PathInMessage(path), why),
                   MsgStyle::Critical | kRtl, kErrorTitle);
    return false;
}

} // namespace

void FrmMain::buildImportCommand()
{
    // On the Arabic layout the key marked I gives ha.
    QAction* import = addCommand(
        QStringLiteral("استيراد من ملف…"), QKeySequence(Qt::CTRL | Qt::Key_I), [this] { ImportLoans(); },
        u'ه');
    ListMenu->addAction(import);
    HelpMenu->addAction(import);
}

void FrmMain::ImportLoans()
{
    const QString path = ChooseImportFile()(this, importFolder());
    if (path.isEmpty()) return;
    lastImportFolder = QFileInfo(path).absolutePath();
    QByteArray bytes;
    if (!readFile(path, bytes)) return;

    store::MData::NewRs();
    store::MData::OpenDatabase();
    QSet<QString> keys;
    store::Reason reason;
    if (!importing::LedgerKeys(Conn->Handle(), keys, reason)) {
        chrome::MsgBox(QStringLiteral("تعذرت قراءة الإعارات المحفوظة لمقارنتها بالملف، ولم يُستورد شيء.\n\n") +
                           reason.Text(),
                       MsgStyle::Critical | kRtl, kErrorTitle);
        return;
    }
    importing::FrmImport preview(QFileInfo(path).fileName(), std::move(bytes), std::move(keys), this);
    if (preview.Stopped()) return;
    if (!preview.FileError().isEmpty()) {
        refuseFile(path, preview.FileError());
        return;
    }
    if (!AnswerImportPreview()(preview)) return;
    const QList<const importing::ImportRow*> rows = preview.ChosenRows();
    if (rows.isEmpty()) return;

    BackupBeforeImport();
    const auto progress = importing::NewProgress(this, QStringLiteral("استيراد الإعارات"),
                                                 QStringLiteral("جارٍ استيراد الإعارات…"), int(rows.size()));
    // Tens of thousands of rows take a moment: the bar shows at once, and Cancel is in reach.
    progress->setMinimumDuration(rows.size() >= 10000 ? 0 : 400);
    const importing::WriteOutcome o =
        importing::WriteLoans(Conn->Handle(), rows, platform().today(), [&progress](qsizetype written) {
            progress->setValue(int(written));
            QCoreApplication::processEvents();
            return !progress->wasCanceled();
        });
    progress->close();

    if (o.cancelled) {
        chrome::MsgBox(QStringLiteral("أُلغي الاستيراد، ولم يتغير شيء في قاعدة البيانات."), kRtl,
                       kNoticeTitle);
        return;
    }
    if (!o.ok) {
        chrome::MsgBox(QStringLiteral("تعذر استيراد الإعارات، ولم يتغير شيء في قاعدة البيانات.\n\n") +
                           o.reason.Text(),
                       MsgStyle::Critical | kRtl, kErrorTitle);
        return;
    }
    model->Clear();
    RefreshListview();
    markSelectedRecord();
    QString summary = importing::CountsSentence(o.written, preview.LeftOut(), preview.Refused().size(),
                                                importing::Tense::Done);
    if (!preview.Refused().isEmpty())
        summary += QStringLiteral("\n\nالصفوف المرفوضة:\n") +
                   importing::RefusedLines(preview.Refused(), kRefusedInSummary);
    chrome::MsgBox(summary, MsgStyle::Information | kRtl, kNoticeTitle);
}

} // namespace pelorin::ledger
