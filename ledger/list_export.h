// The ledger list as a CSV file for spreadsheets: what the list shows, in its order, under the
// list's own column captions.
#pragma once

#include "file_save.h"

class QIODevice;

namespace pelorin::ledger {

class LedgerModel;

// Writes the shown rows of the list, under a header of its captions, as CSV; the row numbers
// are left to the spreadsheet, which numbers its own rows. False when the device failed.
bool WriteListCsv(const LedgerModel& model, QIODevice& out);

// Asks where to save the export (see SavePathChooser).
using ExportFileChooser = SavePathChooser;
ExportFileChooser& ChooseExportFile();

} // namespace pelorin::ledger
