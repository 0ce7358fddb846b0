// Where the backups of the ledger live, what they are called, and which of them are kept.
#pragma once

#include <QDateTime>
#include <QString>
#include <QVector>

#include "reasons.h"

namespace pelorin::backup {

// The ledger file; a link is followed to the file it names, which is what a restore replaces.
QString LedgerPath();
// "Backups" beside the ledger in the program's folder.
QString BackupFolder();
// Creates the folder, readable by its owner only, when it is missing. False with the system's
// reason otherwise.
bool EnsureBackupFolder(QString* why);

// "DataBook-YYYYMMDD-HHMMSS.mdb"; a serial above 0 is added as "-N" for a second backup written
// within the same second.
QString BackupName(const QDateTime& at, int serial = 0);
// When the backup of that file name was written; invalid for a name that is no backup's.
QDateTime BackupTime(const QString& fileName);

struct BackupFile {
    QString path;
    QDateTime at;
};
// The backups in the folder, newest first.
QVector<BackupFile> ListBackups(const QString& folder = BackupFolder());

constexpr int kKeepNewest = 14;
constexpr int kKeepMonths = 12;
// The backups that the keeping rule lets go: the newest 14 stay, and so does the newest of each
// of the 12 calendar months up to today's.
QVector<BackupFile> ToPrune(QVector<BackupFile> backups, const QDate& today);

// Moves `temp` to the first free backup name of that time in the folder; never replaces a
// file. Returns the new path, or an empty text with the reason.
QString MoveToFreeName(const QString& temp, const QString& folder, const QDateTime& at, store::Reason* why);

} // namespace pelorin::backup
