// Loans brought in from a spreadsheet or an Access file: the file chosen and read, the preview, a
// backup, the rows (and the file's library name, if chosen) written in one transaction with a
// progress bar that can cancel, and the list rebuilt.
#include "frm_main.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QProgressDialog>

#include <memory>

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

void refuseReading(const QString& path, const QString& why)
{
    chrome::MsgBox(QStringLiteral("تعذرت قراءة الملف:\n%1\n\n%2").arg(PathInMessage(path), why),
                   MsgStyle::Critical | kRtl, kErrorTitle);
}

// The whole file (or, for an Access file, which the reader opens itself, nothing), or false with
// the owner told why: missing, unreadable, too large, or failing while it is read.
bool readFile(const QString& path, bool access, QByteArray& bytes)
{
    QFile f(path);
    QString why;
    if (!f.open(QIODevice::ReadOnly)) {
        why = store::Explained(store::FileCause(f.error(), errno), f.errorString());
    } else if (access) {
        return true;
    } else if (f.size() > importing::kMaxFileBytes) {
        why = QStringLiteral("الملف أكبر من 100 ميغابايت");
    } else {
        errno = 0;
        bytes = f.readAll();
        if (f.error() != QFileDevice::NoError)
            why = store::Explained(store::FileCause(f.error(), errno), f.errorString());
    }
    if (why.isEmpty()) return true;
    refuseReading(path, why);
    return false;
}

// The library name the ledger holds now, or empty.
QString storedLibraryName()
{
    store::Recordset& rs = store::MData::NewRs();
    store::MData::OpenDatabase();
    const QString name =
        rs.Open(store::sql::kSetting, Conn) && !rs.Eof() ? rs.Text(QStringLiteral("NameLibrary")) : QString();
    rs.Close();
    store::MData::Rs.reset();
    return name;
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
    const bool access = importing::IsAccessFile(path);
    QByteArray bytes;
    if (!readFile(path, access, bytes)) return;
    const QString ledgerName = access ? storedLibraryName() : QString();

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
    const QString name = QFileInfo(path).fileName();
    std::unique_ptr<importing::FrmImport> shown =
        access ? std::make_unique<importing::FrmImport>(name, importing::AccessSource{path, ledgerName},
                                                        std::move(keys), this)
               : std::make_unique<importing::FrmImport>(name, std::move(bytes), std::move(keys), this);
    importing::FrmImport& preview = *shown;
    if (preview.Stopped()) return;
    if (!preview.FileError().isEmpty()) {
        // An Access file the reader could not read; a text file that holds no loans.
        access ? refuseReading(path, preview.FileError()) : refuseFile(path, preview.FileError());
        return;
    }
    if (!AnswerImportPreview()(preview)) return;
    const QList<const importing::ImportRow*> rows = preview.ChosenRows();
    const QString libraryName = preview.ChosenLibraryName();
    if (rows.isEmpty() && libraryName.isEmpty()) return;

    BackupBeforeImport();
    const auto progress = importing::NewProgress(this, QStringLiteral("استيراد الإعارات"),
                                                 QStringLiteral("جارٍ استيراد الإعارات…"), int(rows.size()));
    // Tens of thousands of rows take a moment: the bar shows at once, and Cancel is in reach.
    progress->setMinimumDuration(rows.size() >= 10000 ? 0 : 400);
    const importing::WriteOutcome o = importing::WriteLoans(
        Conn->Handle(), rows, platform().today(),
        [&progress](qsizetype written) {
            progress->setValue(int(written));
            QCoreApplication::processEvents();
            return !progress->wasCanceled();
        },
        libraryName);
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
    if (!libraryName.isEmpty()) LoadLibraryName();
    QString summary = importing::CountsSentence(o.written, preview.LeftOut(), preview.Refused().size(),
                                                importing::Tense::Done);
    if (!libraryName.isEmpty()) summary += QStringLiteral("\nواعتُمد اسم المكتبة: ") + libraryName;
    if (!preview.Warning().isEmpty()) summary += QStringLiteral("\n\n") + preview.Warning();
    if (!preview.Refused().isEmpty())
        summary += QStringLiteral("\n\nالصفوف المرفوضة:\n") +
                   importing::RefusedLines(preview.Refused(), kRefusedInSummary, preview.RowUnit());
    chrome::MsgBox(summary, MsgStyle::Information | kRtl, kNoticeTitle);
}

} // namespace pelorin::ledger
