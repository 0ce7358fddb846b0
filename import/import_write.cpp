#include "import_write.h"

#include <sqlite3.h>

#include "loan_duration.h"

namespace pelorin::importing {

namespace {

// Finalises its statement however the write ends.
struct Statement {
    sqlite3_stmt* st = nullptr;
    ~Statement() { sqlite3_finalize(st); }
};

int bindText(sqlite3_stmt* st, int index, QStringView text)
{
    // An empty cell is stored as an empty text, as the entry stores it, not as NULL.
    static const char16_t none = 0;
    // The texts live until the row is stored, so the engine need not copy them.
    return sqlite3_bind_text16(st, index, text.isNull() ? &none : text.utf16(), int(text.size() * 2),
                               SQLITE_STATIC);
}

QStringView columnText(sqlite3_stmt* st, int column)
{
    const auto* text = static_cast<const char16_t*>(sqlite3_column_text16(st, column));
    return QStringView(text, sqlite3_column_bytes16(st, column) / 2);
}

// The name in the first settings row, which the ledger window reads; a row is added when there
// is none.
bool setLibraryName(sqlite3* db, const QString& name)
{
    Statement s;
    if (sqlite3_prepare_v2(db,
                           "UPDATE TableSetting SET NameLibrary = ?"
                           " WHERE rowid = (SELECT min(rowid) FROM TableSetting)",
                           -1, &s.st, nullptr) != SQLITE_OK ||
        bindText(s.st, 1, name) != SQLITE_OK || sqlite3_step(s.st) != SQLITE_DONE)
        return false;
    if (sqlite3_changes(db) > 0) return true;
    Statement add;
    return sqlite3_prepare_v2(db, "INSERT INTO TableSetting (NameLibrary) VALUES (?)", -1, &add.st,
                              nullptr) == SQLITE_OK &&
           bindText(add.st, 1, name) == SQLITE_OK && sqlite3_step(add.st) == SQLITE_DONE;
}

} // namespace

bool LedgerKeys(sqlite3* db, QSet<QString>& keys, store::Reason& reason)
{
    Statement s;
    int rc =
        sqlite3_prepare_v2(db, "SELECT NameBook, NameBorrower, DateLoan FROM TableBook", -1, &s.st, nullptr);
    if (rc == SQLITE_OK)
        while ((rc = sqlite3_step(s.st)) == SQLITE_ROW)
            keys.insert(DuplicateKey(columnText(s.st, 0), columnText(s.st, 1), columnText(s.st, 2)));
    if (rc == SQLITE_DONE) return true;
    reason = store::Reason::Engine(db);
    return false;
}

WriteOutcome WriteLoans(sqlite3* db, const QList<const ImportRow*>& rows, const QDate& today,
                        const WriteProgress& progress, const QString& libraryName)
{
    WriteOutcome out;
    auto fail = [&] {
        out.reason = store::Reason::Engine(db);
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        return out;
    };
    if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
        out.reason = store::Reason::Engine(db);
        return out;
    }
    Statement s;
    if (sqlite3_prepare_v2(db,
                           "INSERT INTO TableBook (NameBook, NameWriter, NameBorrower, DateLoan, DateReturn,"
                           " TimeLoan) VALUES (?, ?, ?, ?, ?, ?)",
                           -1, &s.st, nullptr) != SQLITE_OK)
        return fail();
    duration::TimeLoanText time;
    qsizetype done = 0;
    for (const ImportRow* row : rows) {
        int rc = SQLITE_OK;
        for (int c = 0; c < ColumnCount && rc == SQLITE_OK; ++c)
            rc = bindText(s.st, c + 1, row->cells[size_t(c)]);
        time.Clear();
        duration::TimeLoanInto(time, row->cells[LoanDate], row->cells[ReturnDate], today);
        if (rc == SQLITE_OK) rc = bindText(s.st, ColumnCount + 1, time.View());
        if (rc != SQLITE_OK || sqlite3_step(s.st) != SQLITE_DONE) return fail();
        sqlite3_reset(s.st);
        ++done;
        if ((done % kProgressEvery == 0 || done == rows.size()) && progress && !progress(done)) {
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            out.cancelled = true;
            return out;
        }
    }
    if (!libraryName.isEmpty() && !setLibraryName(db, libraryName)) return fail();
    if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) return fail();
    out.ok = true;
    out.written = done;
    return out;
}

} // namespace pelorin::importing
