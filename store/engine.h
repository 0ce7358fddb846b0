// The SQLCipher handle behind a connection, and the pool that lets repeated opens of the
// same file share one keyed handle.
#pragma once

#include <QString>
#include <QStringList>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include <sys/types.h>

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

// Drops the pooled handles, and a handle offered by another thread.
void ClearEnginePool();

// A keyed open done on another thread (at start-up, while the window is built), handed to the
// next keyed OpenEngine of the same file with the same key, once. The other thread gives the
// outcome when it will not touch the handle again; the taker waits for that, so that the handle
// is never used by two threads at once (SQLite's rule for a handle opened without its mutex).
class HandOver {
public:
    // wanted is called, on the taker's thread, when a taker begins to wait: the other thread
    // should then give the handle as soon as it can.
    HandOver(QString path, QString key, std::function<void()> wanted = {})
        : path_(std::move(path)), key_(std::move(key)), wanted_(std::move(wanted))
    {
    }
    const QString& Path() const { return path_; }
    const QString& Key() const { return key_; }

    // From the other thread: the open's outcome and the file it opened (device and inode, both 0
    // when there was none). After this the other thread leaves the handle alone.
    void Give(OpenResult result, dev_t dev, ino_t ino);
    // Waits for Give; the outcome when the file is still that one, else a failure with code -1.
    OpenResult Take(dev_t dev, ino_t ino);
    // Whether Take gave the handle.
    bool Taken();

private:
    const QString path_, key_;
    const std::function<void()> wanted_;
    std::mutex mutex_;
    std::condition_variable given_;
    bool done_ = false, taken_ = false;
    OpenResult result_;
    dev_t dev_ = 0;
    ino_t ino_ = 0;
};

// Offers the next keyed OpenEngine of the hand-over's file and key its outcome (an empty pointer
// withdraws the offer). Only the user-interface thread offers and opens.
void OfferHandOver(std::shared_ptr<HandOver> offer);

// Runs a statement with at most one text parameter and collects the first column of its rows
// (when out is given); the engine's result code, SQLITE_OK when every row was read.
int ColumnValues(sqlite3* db, const char* sql, QStringList* out, const QString& param = QString());

// Keeps the engine from logging on stderr what the program expects and handles (a wrong key).
void QuietEngineLog();

} // namespace pelorin::store
