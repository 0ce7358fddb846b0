#include "import_write.h"

#include <QStringEncoder>

#include <initializer_list>
#include <vector>

#include <sqlite3.h>

#include "loan_duration.h"

namespace pelorin::importing {

namespace {

// Finalises its statement however the write ends.
struct Statement {
    sqlite3_stmt* st = nullptr;
    ~Statement() { sqlite3_finalize(st); }
};

// A row's texts in UTF-8, the ledger's own encoding, in one buffer used again for every row: the
// engine would otherwise convert and allocate each value of a hundred thousand rows itself.
class Utf8Row {
public:
    // Binds the texts to the statement's parameters from first on; they stay valid until the next call.
    int bind(sqlite3_stmt* st, int first, std::initializer_list<QStringView> texts)
    {
        qsizetype room = 0;
        for (QStringView t : texts)
            room += encoder_.requiredSpace(t.size());
        if (buffer_.size() < size_t(room) + 1) buffer_.resize(size_t(room) + 1); // never a null pointer
        char* at = buffer_.data();
        int index = first, rc = SQLITE_OK;
        for (QStringView t : texts) {
            char* end = encoder_.appendToBuffer(at, t);
            // An empty cell is stored as an empty text, as the entry stores it, not as NULL.
            if (rc == SQLITE_OK) rc = sqlite3_bind_text(st, index++, at, int(end - at), SQLITE_STATIC);
            at = end;
        }
        return rc;
    }

private:
    QStringEncoder encoder_{QStringEncoder::Utf8, QStringConverter::Flag::Stateless};
    std::vector<char> buffer_;
};

QStringView columnText(sqlite3_stmt* st, int column)
{
    const auto* text = static_cast<const char16_t*>(sqlite3_column_text16(st, column));
    return QStringView(text, sqlite3_column_bytes16(st, column) / 2);
}

// The name in the first settings row, which the ledger window reads; a row is added when there
// is none.
bool setLibraryName(sqlite3* db, const QString& name)
{
    Utf8Row text;
    Statement s;
    if (sqlite3_prepare_v2(db,
                           "UPDATE TableSetting SET NameLibrary = ?"
                           " WHERE rowid = (SELECT min(rowid) FROM TableSetting)",
                           -1, &s.st, nullptr) != SQLITE_OK ||
        text.bind(s.st, 1, {name}) != SQLITE_OK || sqlite3_step(s.st) != SQLITE_DONE)
        return false;
    if (sqlite3_changes(db) > 0) return true;
    Statement add;
    return sqlite3_prepare_v2(db, "INSERT INTO TableSetting (NameLibrary) VALUES (?)", -1, &add.st,
                              nullptr) == SQLITE_OK &&
           text.bind(add.st, 1, {name}) == SQLITE_OK && sqlite3_step(add.st) == SQLITE_DONE;
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
    Utf8Row texts;
    qsizetype done = 0;
    for (const ImportRow* row : rows) {
        time.Clear();
        duration::TimeLoanInto(time, row->cells[LoanDate], row->cells[ReturnDate], today);
        const auto& c = row->cells;
        const int rc =
            texts.bind(s.st, 1, {c[Title], c[Author], c[Borrower], c[LoanDate], c[ReturnDate], time.View()});
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
