// The printed loan ledger: every loan in title order under the library name.
#pragma once

#include <QString>

#include <vector>

class QWidget;

namespace pelorin::ledger {

// The loans a report is limited to when the list shows only some of them (under a filter).
struct LoanSelection {
    std::vector<qint64> ids; // record keys, in any order
    int total = 0;           // loans in the list, shown or not
};

// Opens the database, reads the loans into the shared result set, binds the program's
// report design to it and sets the title label. The shared result set stays open. When the
// loans cannot be read it shows the database error and returns false, and there is no report.
bool PrepareLoanReport(const QString& title);

// Prepares the report and shows it in its modal preview window, from which the owner prints.
// With a selection only those loans are printed (still in title order) and the preview's title
// says so.
void ShowLoanReport(QWidget* parent, const QString& title, const LoanSelection* only = nullptr);

// Prepares the report and writes it to a PDF file; false when the loans could not be read (no
// file is written) or the file could not be written.
bool RenderLoanReportPdf(const QString& pdfPath, const QString& title, const LoanSelection* only = nullptr);

// The preview's title, with a note of the filter when the report is limited to some loans.
QString LoanReportCaption(const LoanSelection* only);

} // namespace pelorin::ledger
