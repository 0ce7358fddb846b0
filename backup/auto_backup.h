// The backups the ledger takes by itself: before the first change of each calendar day and
// before every compaction and import. A failed backup never stops the change; the owner is told
// once in a session, with the reason.
#pragma once

#include <QDate>
#include <QString>

namespace pelorin::backup {

class AutoBackup {
public:
    // Each returns the warning to show the owner, or an empty text.
    QString beforeChange();
    QString beforeCompaction();
    // An import may add thousands of loans at once: the ledger as it was is kept every time.
    QString beforeImport();

private:
    QString take(const QString& afterwards);

    QDate doneOn_; // the day of this session's last good backup
    bool warned_ = false;
};

} // namespace pelorin::backup
