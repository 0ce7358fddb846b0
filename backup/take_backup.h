// A verified backup of the ledger, taken through the engine while the program holds the file.
#pragma once

#include <QString>

#include <functional>

namespace pelorin::backup {

struct Outcome {
    bool ok = false;
    QString path;   // the backup written (for a restore: the backup of the ledger it replaced)
    QString reason; // why it failed, in the engine's or the system's words under ours
};

// Writes a consistent snapshot of the ledger, keyed with the same password, to a temporary
// file in the backup folder, flushes it, checks it (opens with the password, integrity, the same
// rows in both tables) and only then gives it its dated name. After a good backup, and only
// then, the backups the keeping rule lets go are removed (when `prune`). A failure removes the
// temporary file and nothing else.
Outcome TakeBackup(bool prune = true);

// The temporary file of a backup being written; one left by a killed run is replaced.
QString BackupTempPath();

// For tests: called with the temporary file once it is written and flushed (before it is
// checked), and once it has passed the checks (before it is renamed).
enum class BackupStage { Written, Verified };
using BackupHook = std::function<void(BackupStage stage, const QString& tempPath)>;
void SetBackupHook(BackupHook hook);

} // namespace pelorin::backup
