// The SQLCipher handle behind a connection, and the pool that lets repeated opens of the
// same file share one keyed handle.
#pragma once

#include <QString>
#include <QStringList>

#include <memory>

#include "reasons.h"

struct sqlite3;

namespace pelorin::store {

class EngineHandle {
public:
    explicit EngineHandle(sqlite3* db) : db_(db) {}
    ~EngineHandle();
    EngineHandle(const EngineHandle&) = delete;
    EngineHandle& operator=(const EngineHandle&) = delete;
    sqlite3* db() const { return db_; }

private:
    sqlite3* db_;
};

struct OpenResult {
    std::shared_ptr<EngineHandle> handle;
    int code = 0; // SQLite result code; 0 on success
    QString message;
    int systemError = 0; // the errno behind a failed open or read, when the engine had one

    Reason reason() const { return Reason::Engine(code, message, systemError); }
};

struct OpenOptions {
    bool writable = true;
    int busyTimeoutMs = 1000;
    // A handle used by one thread at a time can do without the engine's per-call locking.
    bool singleThread = false;
};

// Opens an existing file (never creates one) with the key (none when empty), reads the schema,
// which makes SQLCipher decrypt the first page, and registers the collation. A wrong key, a
// keyed file opened without its key and a damaged file all fail here, with a null handle.
OpenResult OpenKeyedFile(const QString& path, const QString& key, const OpenOptions& options = {});

// Opens an existing file (never creates one), keyed when hasKey. Keyed handles are pooled per
// file while the file stays the same one (device and inode) and still reads with the key.
OpenResult OpenEngine(const QString& path, bool hasKey, const QString& key);

// Registers the program's NOCASE collation, which orders Arabic text as a reader expects.
void RegisterCollation(sqlite3* db);

void ClearEnginePool();

// Runs a statement with at most one text parameter and collects the first column of its rows
// (when out is given); the engine's result code, SQLITE_OK when every row was read.
int ColumnValues(sqlite3* db, const char* sql, QStringList* out, const QString& param = QString());

// Keeps the engine from logging on stderr what the program expects and handles (a wrong key).
void QuietEngineLog();

} // namespace pelorin::store
