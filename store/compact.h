// Compacting the database file in place without ever putting the only good copy at risk.
#pragma once

#include <QString>

#include <functional>

namespace pelorin::store::MData {

enum class CompactOutcome { Compacted, NotFound, InUse, Failed };

// Writes a compacted copy of the database beside it, checks that the copy opens with
// DbPassword and holds the same rows, and only then puts it in the original's place in one
// step. Tells the user the outcome in a message box. On any failure the original file is left
// exactly as it was and the copy is removed.
CompactOutcome CompactDB(const QString& databasePath);

// The compaction button: closes the shared connection and every pooled handle of this
// process, compacts the database file, and opens the connection again with the text of its
// last open. When it cannot be reopened the program ends as at any failed open.
CompactOutcome CompactOpenDatabase();

// The name of the compacted copy while it is being written; a copy left behind by a crash
// is removed by the next run.
QString CompactTempPath(const QString& databasePath);

// For tests: called with the copy's path once it is written and closed (before it is
// checked), and again once it has passed the checks (just before it replaces the original).
enum class CompactStage { Written, Verified };
using CompactHook = std::function<void(CompactStage stage, const QString& tempPath)>;
void SetCompactHook(CompactHook hook);

} // namespace pelorin::store::MData
