// The backups as the ledger window uses them: taken before the first change of the day and
// before every compaction, on demand, and restored through the restore window.
#pragma once

namespace pelorin::ledger {

class FrmMain;

// Each shows the owner the outcome or the warning it calls for.
void BackupBeforeChange(FrmMain& w);
void BackupBeforeCompaction(FrmMain& w);
void BackupNow();
// Opens the restore window; after a restore the window loads the ledger afresh.
void RestoreFromBackup(FrmMain& w);

} // namespace pelorin::ledger
