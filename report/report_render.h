// Paints a banded report with a QPainter: on the screen's preview and on the printer.
#pragma once

#include "report_layout.h"

class QPainter;
class QPrinter;

namespace pelorin::report {

// Paints one page; the painter's device gives the resolution (1440 twips an inch).
void PaintPage(QPainter& painter, const ReportDesign& design, const ReportData& data, const ReportPage& page);

// Paints the whole report on the printer, one printer page per report page. False when the
// printer could not be painted on or progress stopped it.
bool RenderReport(QPrinter& printer, const ReportDesign& design, const ReportData& data,
                  const ReportProgress& progress = {});

// Sets up a printer for the design: A4 portrait, the whole paper addressable (the design
// keeps its own margins).
void PreparePrinter(QPrinter& printer);

} // namespace pelorin::report
