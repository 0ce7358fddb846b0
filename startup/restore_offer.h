// A ledger that cannot be opened at start-up: when sound backups exist, its message also offers
// the restore window instead of only ending the program.
#pragma once

#include "mdata.h"

namespace pelorin::startup {

// The handler for MData::OpenDatabase while the ledger window loads.
store::MData::OpenFailure OfferRestore(const QString& text, int style, const QString& title);

} // namespace pelorin::startup
