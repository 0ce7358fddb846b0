#include "report_loan.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QPaintEngine>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QStringList>
#include <QToolBar>

#include "database.h"
#include "drpelorin.h"
#include "file_dialog.h"
#include "frm_main.h"
#include "mdata.h"
#include "report_pdf.h"
#include "report_render.h"
#include "save_file.h"
#include "statements.h"
#include "twips.h"

namespace pelorin::ledger {

using namespace report;

bool PrepareLoanReport(const QString& title)
{
    using namespace store;
    MData::OpenDatabase();
    ReportDesign& design = DRPelorin();
    if (!MData::NewRs().Open(sql::kReport, MData::Conn)) {
        // Unread loans are no empty ledger: the owner gets the reason, and no report.
        design.dataSource.reset();
        ShowReadError();
        return false;
    }

    design.dataSource = MData::Rs;
    if (ReportBand* header = design.FindBand(QStringLiteral("section4")))
        if (ReportControl* lbl = header->FindControl(QStringLiteral("LblMain")))
            lbl->caption = title.trimmed();
    return true;
}

namespace {

// The rows the report prints: every loan, or those of the selection.
ReportData reportRows(const ReportDesign& design, const LoanSelection* only)
{
    if (!design.dataSource) return {};
    const store::Recordset& rs = *design.dataSource;
    if (!only) return SnapshotRows(rs);
    std::vector<qint64> ids = only->ids;
    std::sort(ids.begin(), ids.end());
    return SnapshotRows(rs,
                        [&](int row) { return std::binary_search(ids.begin(), ids.end(), rs.RowIdAt(row)); });
}

// The PDF's title is what heads its first page: the library name, then the report's own title.
PdfInfo pdfInfo(const ReportDesign& design)
{
    QStringList title;
    if (const ReportBand* header = design.BandOf(BandKind::ReportHeader))
        for (const char* name : {"LblMain", "LblDuration"})
            if (const ReportControl* c = header->FindControl(QLatin1String(name)); c && !c->caption.isEmpty())
                title << c->caption;
    return {title.join(QStringLiteral(" - ")), QStringLiteral("Pelorin")};
}

// A long report takes seconds to make: the pointer says so, a window shows how far it has come
// (a short report is done before it would appear), and the windows keep being painted.
class MakingReport {
public:
    MakingReport(QWidget* parent, bool cancellable)
        : dialog_(QStringLiteral("جارٍ إعداد التقرير…"), QStringLiteral("إلغاء"), 0, 0, parent)
    {
        dialog_.setWindowTitle(QStringLiteral("Pelorin"));
        dialog_.setLayoutDirection(Qt::RightToLeft);
        dialog_.setMinimumWidth(360);
        // The window's look carries over to the dialog; its button needs room for its text.
        dialog_.setStyleSheet(QStringLiteral("QPushButton { padding: 3px 12px; min-width: 64px; }"));
        dialog_.setWindowModality(Qt::WindowModal);
        dialog_.setMinimumDuration(700);
        if (!cancellable) dialog_.setCancelButton(nullptr);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~MakingReport() { QApplication::restoreOverrideCursor(); }
    MakingReport(const MakingReport&) = delete;
    MakingReport& operator=(const MakingReport&) = delete;

    ReportProgress progress()
    {
        return [this](int done, int pages) {
            dialog_.setMaximum(pages);
            dialog_.setLabelText(QStringLiteral("جارٍ إعداد التقرير: الصفحة %1 من %2").arg(done).arg(pages));
            dialog_.setValue(done);
            return !dialog_.wasCanceled();
        };
    }

private:
    QProgressDialog dialog_;
};

// Writes the report's PDF to path whole or not at all; the owner hears of a failure, and of a
// success with tellSuccess. A save the owner stopped says nothing and changes nothing.
bool savePdf(QWidget* parent, const QString& path, const ReportDesign& design, const ReportData& data,
             const QPageLayout& paper, bool tellSuccess)
{
    csv::SaveFailure failure;
    bool stopped = false;
    bool saved = false;
    {
        MakingReport making(parent, true);
        const ReportProgress progress = making.progress();
        saved = csv::SaveAtomically(
            path,
            [&](QIODevice& out) {
                return WriteReportPdf(out, design, data, paper, pdfInfo(design), [&](int done, int pages) {
                    stopped = !progress(done, pages);
                    return !stopped;
                });
            },
            &failure);
    }
    if (stopped) return false;
    if (!saved || tellSuccess) TellSaveOutcome(QStringLiteral("التقرير"), path, saved ? nullptr : &failure);
    return saved;
}

void askAndSavePdf(QWidget* parent, const ReportDesign& design, const ReportData& data,
                   const QPageLayout& paper)
{
    const QString path = ChooseReportPdf()(parent, SuggestedPath(QStringLiteral("تقرير الإعارات.pdf")));
    if (!path.isEmpty()) savePdf(parent, path, design, data, paper, true);
}

QString askWithQtDialog(QWidget* parent, const QString& suggestedPath)
{
    return AskForFile(parent,
                      {QStringLiteral("حفظ التقرير بصيغة PDF"), suggestedPath,
                       QStringLiteral("ملفات PDF (*.pdf);;كل الملفات (*)"), true, QStringLiteral("pdf")});
}

// The print dialog's "print to file" gives the preview a printer that would write the PDF with
// Qt's own engine, whose text reads as glyph shapes; the report's PDF writer makes that file
// instead. (While the preview draws its pages, the printer paints into pictures.)
bool printsToPdfFile(QPrinter& printer)
{
    return printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty() &&
           printer.paintEngine() && printer.paintEngine()->type() == QPaintEngine::Pdf;
}

// The preview's own command to save what it shows as a PDF, on the paper set up there.
void addPdfCommand(QPrintPreviewDialog& preview, QPrinter& printer, const ReportDesign& design,
                   const ReportData& data)
{
    auto* save = new QAction(QIcon(QStringLiteral(":/pelorin/pdf_save.svg")),
                             QStringLiteral("حفظ التقرير بصيغة PDF…"), &preview);
    save->setShortcuts(
        {kReportPdfKey, QKeySequence(kReportPdfKey.keyboardModifiers() | Qt::Key(kReportPdfArabicKey))});
    save->setShortcutContext(Qt::WindowShortcut);
    save->setToolTip(save->text() +
                     QStringLiteral(" (%1)").arg(save->shortcut().toString(QKeySequence::NativeText)));
    QObject::connect(save, &QAction::triggered, &preview, [&preview, &printer, &design, &data] {
        askAndSavePdf(&preview, design, data, printer.pageLayout());
    });
    if (auto* toolbar = preview.findChild<QToolBar*>()) {
        toolbar->addSeparator();
        toolbar->addAction(save);
    }
    preview.addAction(save);
}

} // namespace

QString LoanReportCaption(const LoanSelection* only)
{
    const QString caption = DRPelorin().caption;
    if (!only) return caption;
    return caption + QStringLiteral(" (نتائج البحث: %1 من %2)").arg(only->ids.size()).arg(only->total);
}

void ShowLoanReport(QWidget* parent, const QString& title, const LoanSelection* only)
{
    if (!PrepareLoanReport(title)) return;
    const ReportDesign& design = DRPelorin();
    const ReportData data = reportRows(design, only);

    QPrinter printer(QPrinter::HighResolution);
    PreparePrinter(printer);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setWindowTitle(LoanReportCaption(only));
    preview.setWindowIcon(QIcon(QStringLiteral(":/pelorin/report_up.svg")));
    preview.resize(chrome::twSize(design.previewWidth, design.previewHeight));
    addPdfCommand(preview, printer, design, data);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&](QPrinter* p) {
        if (printsToPdfFile(*p)) {
            savePdf(&preview, p->outputFileName(), design, data, p->pageLayout(), false);
            return;
        }
        MakingReport making(&preview, false);
        RenderReport(*p, design, data, making.progress());
    });
    preview.exec();
}

void SaveLoanReportPdf(QWidget* parent, const QString& title, const LoanSelection* only)
{
    if (!PrepareLoanReport(title)) return;
    const ReportDesign& design = DRPelorin();
    askAndSavePdf(parent, design, reportRows(design, only), DefaultPaper());
}

bool RenderLoanReportPdf(const QString& pdfPath, const QString& title, const LoanSelection* only,
                         csv::SaveFailure* failure)
{
    if (!PrepareLoanReport(title)) return false;
    const ReportDesign& design = DRPelorin();
    const ReportData data = reportRows(design, only);
    return csv::SaveAtomically(
        pdfPath,
        [&](QIODevice& out) { return WriteReportPdf(out, design, data, DefaultPaper(), pdfInfo(design)); },
        failure);
}

SavePathChooser& ChooseReportPdf()
{
    static SavePathChooser chooser = askWithQtDialog;
    return chooser;
}

} // namespace pelorin::ledger
