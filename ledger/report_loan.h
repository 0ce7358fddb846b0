// The printed loan ledger: every loan in title order under the library name, on paper through
// the preview, or saved as a PDF.
#pragma once

#include <QKeyCombination>
#include <QString>

#include <vector>

#include "file_save.h"

class QWidget;

namespace pelorin::csv {
struct SaveFailure;
}

namespace pelorin::ledger {

// The keys of "save the report as PDF", in the ledger window and in the preview: Ctrl+Shift+S, and
// Ctrl+Shift with the letter of the same key on the Arabic layout (seen), which is how Qt reads
// those keys when no layout with Latin letters is on the keyboard.
inline constexpr QKeyCombination kReportPdfKey{Qt::CTRL | Qt::SHIFT, Qt::Key_S};
inline constexpr char16_t kReportPdfArabicKey = u'س';

// The loans a report is limited to when the list shows only some of them (under a filter).
struct LoanSelection {
    std::vector<qint64> ids; // record keys, in any order
    int total = 0;           // loans in the list, shown or not
};

// Opens the database, reads the loans into the shared result set, binds the program's
// report design to it and sets the title label. The shared result set stays open. When the
// loans cannot be read it shows the database error and returns false, and there is no report.
bool PrepareLoanReport(const QString& title);

// Prepares the report and shows it in its modal preview window, from which the owner prints or
// saves it as a PDF. With a selection only those loans are printed (still in title order) and
// the preview's title says so.
void ShowLoanReport(QWidget* parent, const QString& title, const LoanSelection* only = nullptr);

// Prepares the report, asks where to save it (ChooseReportPdf) and saves it as a PDF on A4,
// telling the owner how it went.
void SaveLoanReportPdf(QWidget* parent, const QString& title, const LoanSelection* only = nullptr);

// Prepares the report and writes it to a PDF file on A4, whole or not at all: an earlier file
// of that name stays as it was unless the new one was written completely. False when the loans
// could not be read (no file is written) or the file could not be written (failure says why).
bool RenderLoanReportPdf(const QString& pdfPath, const QString& title, const LoanSelection* only = nullptr,
                         csv::SaveFailure* failure = nullptr);

// The preview's title, with a note of the filter when the report is limited to some loans.
QString LoanReportCaption(const LoanSelection* only);

// Asks where to save the report's PDF.
SavePathChooser& ChooseReportPdf();

} // namespace pelorin::ledger
