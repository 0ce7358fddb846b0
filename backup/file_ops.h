// The file steps that backups and restores are made of, each durable before the next one.
#pragma once

#include <QDateTime>
#include <QString>

namespace pelorin::backup {

// The system's own words for the last failed call.
QString SystemError();

bool RemoveIfPresent(const QString& path, QString* why = nullptr);
// Creates an empty file for the owner only; fails when one is there.
bool CreateEmpty(const QString& path, QString* why);
// Flushes a file, or a folder's entries, to the disk.
bool SyncFile(const QString& path, QString* why);
bool SyncFolder(const QString& folder);
// Copies `from` to the new file `to` (owner only) and flushes it.
bool CopySynced(const QString& from, const QString& to, QString* why);
// Moves `temp` to the first free backup name of that time in the folder; never replaces a
// file. Returns the new path, or an empty text with the reason.
QString MoveToFreeName(const QString& temp, const QString& folder, const QDateTime& at, QString* why);

} // namespace pelorin::backup
