// The file steps that compaction, backups and restores are made of, each durable before the next.
#pragma once

#include <QString>

#include "reasons.h"

struct stat;

namespace pelorin::store {

// Why the last system call failed (errno).
Reason SystemError();

bool RemoveIfPresent(const QString& path, Reason* why = nullptr);
// Creates an empty file for the owner only; fails when one is there.
bool CreateEmpty(const QString& path, Reason* why);
// Flushes a file, or a folder's entries, to the disk.
bool SyncFile(const QString& path, Reason* why);
bool SyncFolder(const QString& folder);
// Copies `from` to the new file `to` (owner only) and flushes it.
bool CopySynced(const QString& from, const QString& to, Reason* why);
// Gives a file the owner and permissions that `like` holds (as stat read them), so that a file
// put in another's place changes nothing but its contents. Without the right to hand it over,
// it stays its maker's.
void TakeOwnerAndMode(const QString& path, const struct stat& like);
// Renames `from` over `to` and flushes the folder's entries, so that the change outlives a
// power cut.
bool MoveOver(const QString& from, const QString& to, Reason* why);

} // namespace pelorin::store
