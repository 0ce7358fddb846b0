// A banded report as a PDF file of its own making: the pages the printer gets, laid out by the
// same rules, drawn with cairo, and with text that reads as text (plain letters in logical
// order) wherever it is copied, searched or extracted.
#pragma once

#include <QPageLayout>
#include <QString>

#include "report_layout.h"

class QIODevice;

namespace pelorin::report {

struct PdfInfo {
    QString title;
    QString creator;
};

// The paper of a report that the owner has not set up otherwise: A4 portrait, as the printer's.
QPageLayout DefaultPaper();

// Writes the report to out as a PDF on the whole of the given paper (the design keeps its own
// margins). False when progress stopped it, or the PDF could not be made or written.
bool WriteReportPdf(QIODevice& out, const ReportDesign& design, const ReportData& data,
                    const QPageLayout& paper, const PdfInfo& info, const ReportProgress& progress = {});

} // namespace pelorin::report
