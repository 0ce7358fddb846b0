// What the commands that change one loan share: finding its record by key, and telling the
// owner that a write failed with the engine's reason under it.
#pragma once

#include <QtGlobal>

namespace pelorin::store {
class Recordset;
}

namespace pelorin::ledger {

// Opens the record of a loan by its key. False, with the message shown, when it cannot be read
// or no longer exists.
bool OpenRecord(qint64 id, store::Recordset& rs);
// The change could not be saved, and nothing stored changed.
void ShowWriteFailed();

} // namespace pelorin::ledger
