// Data access to the loan database: a connection and a static, updatable result set over
// one statement, in the manner of the classic data-access objects, on top of SQLCipher.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <memory>

#include "mdata.h"
#include "statements.h"
#include "text_table.h"

struct sqlite3;
struct sqlite3_stmt;

namespace pelorin::store {

// Error numbers reported in ErrorInfo::number.
constexpr long kErrAuthentication = -2147217843; // 0x80040E4D: a keyed file opened without its key
constexpr long kErrEngine = -2147467259;         // 0x80004005: any other engine failure
constexpr long kErrRowGone = -2147217864;        // 0x80040E38: the row to write no longer exists
constexpr long kErrNotOpen = -2146824584;        // 0x800A0E78: the object is closed

struct ErrorInfo {
    long number = 0;
    QString description;
    int engineCode = 0;  // the engine's result code behind it; 0 for the object's own errors
    int systemError = 0; // the errno the engine gave with it

    // The cause in the owner's words with the description in parentheses; empty when there is
    // no description.
    QString Told() const;
};

// The engine's last failure on a handle (SQLITE_MISUSE without one).
ErrorInfo EngineErrorOf(sqlite3* db);
// A write to a row that is no longer there.
ErrorInfo RowGoneError();

class EngineHandle;

// One open database file. Connections that open the same file with the same key share one
// keyed engine handle, because deriving the key costs about a tenth of a second.
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens the file named by the connection text ("Data Source=…;…Database Password=…").
    // Empty arguments reopen with the text of the last successful open.
    bool Open(const QString& connectionText = QString(), const QString& user = QString(),
              const QString& password = QString());
    void Close();
    bool IsOpen() const;
    QString ConnectionText() const { return lastText_; }
    QString FilePath() const { return path_; }

    const ErrorInfo& Error() const { return error_; }
    void ClearError() { error_ = {}; }

    bool BeginTrans();
    bool CommitTrans();
    void RollbackTrans();

    // For the result set and for tests.
    sqlite3* Handle() const;
    void SetError(long number, const QString& description);
    void SetError(const ErrorInfo& error) { error_ = error; }
    void SetEngineError();

private:
    std::shared_ptr<EngineHandle> engine_;
    QString lastText_;
    QString path_;
    ErrorInfo error_;
};

// Reads a connection text: returns the file path and the password.
struct ConnectionParts {
    QString dataSource;
    QString password;
    bool hasPassword = false;
};
ConnectionParts ParseConnectionText(const QString& text);

// Drops the pooled engine handles so that no handle of this process keeps the file open.
void ReleasePooledHandles();

// The index of a field among the names: the first of that exact name, else the first that
// differs only in case; -1 when there is none.
int FieldIndexIn(const QStringList& names, const QString& name);

// Steps through a statement and keeps its rows as text, all at once for a result set or in
// pieces for a reader that hands them on while it reads. "SELECT *" reads each row's rowid too,
// so that the rows can be written back.
class RowReader {
public:
    RowReader(sqlite3* db, const QString& statement, const QVariantList& parameters = {});
    ~RowReader();
    RowReader(const RowReader&) = delete;
    RowReader& operator=(const RowReader&) = delete;

    // SQLITE_OK while rows are left, SQLITE_DONE once every row is read, else the engine's
    // failure (the handle holds its words until the reader is gone).
    int Code() const { return code_; }
    const QStringList& Names() const { return names_; }
    // The table the rows can be written back to; empty when they cannot.
    const QString& Table() const { return table_; }
    // Up to limit more rows (all that are left when limit is 0); an empty table at the end.
    std::shared_ptr<TextTable> Next(int limit = 0);

private:
    size_t charsPerPiece_ = 0; // of the last piece, for the room of the next
    sqlite3_stmt* st_ = nullptr;
    int code_ = 0;
    bool keyed_ = false;
    QStringList names_;
    QString table_;
};

// A static, updatable set of the rows of one statement, held in memory. Rows are written
// back by rowid, so tables without a key field are updatable too.
class Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // Runs the statement on the connection, binding the parameters in order, and stands on
    // the first row (or at the end when there is none).
    bool Open(const QString& statement, std::shared_ptr<Connection> connection,
              const QVariantList& parameters = {});
    bool IsOpen() const { return open_; }
    void Close();

    bool Eof() const;
    int RecordCount() const { return rows_->RowCount(); }
    // Saves a pending change first; false when that save failed (the position still moves).
    bool MoveNext();
    bool MoveFirst();

    // The value of a field of the current row: a QString, or a null QVariant.
    QVariant Field(const QString& name) const;
    // The field as text; null reads as an empty text.
    QString Text(const QString& name) const;
    // A field of the current row by index, without a copy: a null view for a null field, an
    // unknown index or no current row. Valid until the set changes.
    QStringView FieldView(int index) const;
    void SetField(const QString& name, const QVariant& value);
    const QStringList& FieldNames() const { return names_; }
    int FieldIndex(const QString& name) const;
    // Direct access by index for bulk readers such as the ledger list.
    QStringView ValueAt(int row, int column) const { return rows_->View(row, column); }
    qint64 RowIdAt(int row) const { return rows_->RowId(row); }
    // The rows themselves, for a reader that keeps them after the set has moved on: the set
    // copies them before it changes any while they are shared.
    std::shared_ptr<const TextTable> Rows() const { return rows_; }

    void AddNew();
    // Saves the new or changed current row. False on failure; the connection holds the error.
    bool Update();
    // Cancels an unsaved change or an unsaved new row.
    void CancelUpdate();
    // Deletes the current row from the table and the set.
    bool Delete();
    bool HasPendingChange() const { return adding_ || !dirty_.isEmpty(); }

    Connection* ActiveConnection() const { return conn_.get(); }
    // Gives back the engine statements this set prepared. Engine handles are not shared between
    // threads, so a set that is to be freed on another thread must call this first.
    void FinalizeStatements();

private:
    bool fail(long number, const QString& description);
    TextTable& writable();
    sqlite3_stmt* cachedStatement(const QString& sql);

    std::shared_ptr<Connection> conn_;
    QString table_;
    QStringList names_;
    std::shared_ptr<TextTable> rows_;
    size_t pos_ = 0;
    bool open_ = false;
    bool adding_ = false;
    QVector<QString> pendingNew_;
    QVector<int> dirty_; // indexes of changed fields of the current row
    QVector<QString> oldValues_;
    struct Cached {
        QString sql;
        sqlite3_stmt* stmt = nullptr;
    };
    std::vector<Cached> cache_;
    std::vector<Cached> updateCache_; // keyed by the changed fields; statements owned by cache_
};

} // namespace pelorin::store
