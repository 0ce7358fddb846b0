// Putting a backup in the ledger's place: the ledger as it is now is kept as a backup first, and
// the chosen file replaces it whole or not at all.
#pragma once

#include <QString>

#include <functional>

#include "take_backup.h"

namespace pelorin::backup {

// Checks the chosen backup, saves the current ledger as a backup (through the engine, or byte
// for byte when the engine cannot read it), copies the chosen file beside the ledger, flushes and
// checks the copy, and renames it over the ledger. The program's connections are closed on the
// way; the caller opens the database again. On failure the ledger is as it was.
// Outcome::path is the backup of the replaced ledger (empty when there was no ledger).
Outcome RestoreBackup(const QString& chosen);

// True when at least one backup in the folder passes the checks; looks from the newest down
// and stops at the first sound one.
bool HasSoundBackup();

// The copy of the chosen backup while it is being put in place.
QString RestoreTempPath();

// For tests: called once the current ledger is saved, once the copy is written and flushed, and
// once the copy has passed the checks (just before it replaces the ledger).
enum class RestoreStage { Saved, Copied, Verified };
using RestoreHook = std::function<void(RestoreStage stage, const QString& tempPath)>;
void SetRestoreHook(RestoreHook hook);

} // namespace pelorin::backup
