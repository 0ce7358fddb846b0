// The loans of a file's records: accepted with their stored texts, refused with a reason, or
// kept aside as loans the ledger or the file already has.
#pragma once

#include <QList>
#include <QSet>
#include <QString>

#include <array>

#include "column_map.h"
#include "csv_reader.h"
#include "date_reader.h"

namespace pelorin::importing {

struct ImportRow {
    int line = 0;
    std::array<QString, ColumnCount> cells; // trimmed; dates in the stored form
};

struct RefusedRow {
    int line = 0;
    QString reason; // in Arabic
};

struct ImportRows {
    QList<ImportRow> accepted;
    QList<ImportRow> duplicates; // as accepted, but the ledger or an earlier row has the loan
    QList<RefusedRow> refused;
    DayMonthChoice order;
    QString error;        // in Arabic, when the map lacks the title or the loan date: nothing read
    bool stopped = false; // told to stop: nothing read
};

// What makes two loans the same: title, borrower and loan date, in the finding's spelling of
// Arabic. A loan date that reads as a date counts in its stored form.
QString DuplicateKey(QStringView title, QStringView borrower, QStringView loanDate);

// The loans of the records (the first left out when the map found a header). A row is refused
// for a blank title, a missing, unreadable, Hijri or impossible date, or fewer fields than the
// map needs; a return before the loan is not refused (the ledger warns of it). A loan whose
// DuplicateKey is in existingKeys or on an earlier row goes to duplicates. Rows with every
// field blank are left out.
// A builder on another thread can be told to stop through stop.
ImportRows BuildRows(const QList<Record>& records, const ColumnMap& map, const QSet<QString>& existingKeys,
                     const std::atomic<bool>* stop = nullptr);

} // namespace pelorin::importing
