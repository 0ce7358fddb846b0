// Lays a banded report out on pages and paints it: the report header on the first page, the
// page header at the top of every page, as many detail rows as fit, the page footer at the
// bottom of every page and the report footer after the last row.
#pragma once

#include <QString>

#include <vector>

#include "report_design.h"

class QPainter;
class QPrinter;

namespace pelorin::report {

struct PlacedBand {
    const ReportBand* band = nullptr;
    int top = 0;  // twips below the top margin
    int row = -1; // the data row of a detail band
};

struct ReportPage {
    std::vector<PlacedBand> bands;
};

// Splits the report over pages whose printable height (between the top and bottom margins)
// is pageHeight twips. A detail row never straddles two pages; a page too short for any row
// still takes one, so that every row is printed.
std::vector<ReportPage> Paginate(const ReportDesign& design, int rowCount, int pageHeight);

// The text a control shows for a row.
QString ControlText(const ReportControl& control, const ReportData& data, int row);

// Paints one page; the painter's device gives the resolution (1440 twips an inch).
void PaintPage(QPainter& painter, const ReportDesign& design, const ReportData& data, const ReportPage& page);

// Paints the whole report on the printer, one printer page per report page. False when the
// printer could not be painted on.
bool RenderReport(QPrinter& printer, const ReportDesign& design, const ReportData& data);

// Sets up a printer for the design: A4 portrait, the whole paper addressable (the design
// keeps its own margins).
void PreparePrinter(QPrinter& printer);

} // namespace pelorin::report
