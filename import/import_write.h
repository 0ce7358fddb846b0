// The accepted loans written into the ledger: all of them in one transaction, each with its
// duration, or none of them.
#pragma once

#include <QDate>
#include <QList>
#include <QSet>
#include <QString>

#include <functional>

#include "import_rows.h"
#include "reasons.h"

struct sqlite3;

namespace pelorin::importing {

// The DuplicateKey of every loan in the ledger. False, with the reason, when the ledger could
// not be read.
bool LedgerKeys(sqlite3* db, QSet<QString>& keys, store::Reason& reason);

// Told how many rows are written so far; returning false cancels the write.
using WriteProgress = std::function<bool(qsizetype written)>;

struct WriteOutcome {
    qsizetype written = 0; // rows in the ledger after the commit; 0 unless ok
    bool ok = false;
    bool cancelled = false;
    store::Reason reason; // why it failed, when neither ok nor cancelled
};

// How often the progress is told, in rows: often enough for a moving bar and a prompt cancel.
inline constexpr qsizetype kProgressEvery = 2000;

// Inserts the rows with their durations as of today in one transaction, and, when libraryName
// is not empty, makes it the ledger's library name in the same transaction; a failure or a
// cancel rolls everything back.
WriteOutcome WriteLoans(sqlite3* db, const QList<const ImportRow*>& rows, const QDate& today,
                        const WriteProgress& progress = {}, const QString& libraryName = QString());

} // namespace pelorin::importing
