#include "report_loan.h"

#include <algorithm>

#include <QIcon>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "database.h"
#include "drpelorin.h"
#include "frm_main.h"
#include "mdata.h"
#include "report_render.h"
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
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&design, &data](QPrinter* p) { RenderReport(*p, design, data); });
    preview.exec();
}

bool RenderLoanReportPdf(const QString& pdfPath, const QString& title, const LoanSelection* only)
{
    if (!PrepareLoanReport(title)) return false;
    const ReportDesign& design = DRPelorin();
    const ReportData data = reportRows(design, only);

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfPath);
    PreparePrinter(printer);
    return RenderReport(printer, design, data);
}

} // namespace pelorin::ledger
