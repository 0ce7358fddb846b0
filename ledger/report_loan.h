// The printed loan ledger: every loan in title order under the library name.
#pragma once

#include <QString>

class QWidget;

namespace pelorin::ledger {

// Opens the database, reads the loans into the shared result set, binds the program's
// report design to it and sets the title label. The shared result set stays open.
void PrepareLoanReport(const QString& title);

// Prepares the report and shows it in its modal preview window, from which the owner prints.
void ShowLoanReport(QWidget* parent, const QString& title);

// Prepares the report and writes it to a PDF file; false when the file could not be written.
bool RenderLoanReportPdf(const QString& pdfPath, const QString& title);

} // namespace pelorin::ledger
