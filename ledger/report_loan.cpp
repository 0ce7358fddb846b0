#include "report_loan.h"

#include <QIcon>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "database.h"
#include "drpelorin.h"
#include "mdata.h"
#include "report_render.h"
#include "statements.h"
#include "twips.h"

namespace pelorin::ledger {

using namespace report;

void PrepareLoanReport(const QString& title)
{
    using namespace store;
    MData::OpenDatabase();
    MData::NewRs().Open(sql::kReport, MData::Conn);

    ReportDesign& design = DRPelorin();
    design.dataSource = MData::Rs;
    if (ReportBand* header = design.FindBand(QStringLiteral("section4")))
        if (ReportControl* lbl = header->FindControl(QStringLiteral("LblMain")))
            lbl->caption = title.trimmed();
}

void ShowLoanReport(QWidget* parent, const QString& title)
{
    PrepareLoanReport(title);
    const ReportDesign& design = DRPelorin();
    const ReportData data = design.dataSource ? SnapshotRows(*design.dataSource) : ReportData{};

    QPrinter printer(QPrinter::HighResolution);
    PreparePrinter(printer);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setWindowTitle(design.caption);
    preview.setWindowIcon(QIcon(QStringLiteral(":/pelorin/report_up.svg")));
    preview.resize(chrome::twSize(design.previewWidth, design.previewHeight));
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&design, &data](QPrinter* p) { RenderReport(*p, design, data); });
    preview.exec();
}

bool RenderLoanReportPdf(const QString& pdfPath, const QString& title)
{
    PrepareLoanReport(title);
    const ReportDesign& design = DRPelorin();
    const ReportData data = design.dataSource ? SnapshotRows(*design.dataSource) : ReportData{};

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfPath);
    PreparePrinter(printer);
    return RenderReport(printer, design, data);
}

} // namespace pelorin::ledger
