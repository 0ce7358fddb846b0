// The ledger list as a CSV file for spreadsheets: what the list shows, in its order, under the
// list's own column captions.
#pragma once

#include <QString>

#include <functional>

class QIODevice;
class QWidget;

namespace pelorin::ledger {

class LedgerModel;

// Writes the shown rows of the list, under a header of its captions, as CSV; the row numbers
// are left to the spreadsheet, which numbers its own rows. False when the device failed.
bool WriteListCsv(const LedgerModel& model, QIODevice& out);

// Asks where to save the export, offering suggestedPath; empty when the owner cancels. Qt's save
// dialog unless replaced (tests answer it without a dialog).
using ExportFileChooser = std::function<QString(QWidget* parent, const QString& suggestedPath)>;
ExportFileChooser& ChooseExportFile();

} // namespace pelorin::ledger
