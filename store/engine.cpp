#include "engine.h"

#include <QByteArray>
#include <QFile>

#include "start_trace.h"

#include <map>
#include <utility>

#include <sqlite3.h>
#include <sys/stat.h>

namespace pelorin::store {

EngineHandle::~EngineHandle()
{
    // close_v2 waits for statements still prepared on the handle; a null handle is let be.
    sqlite3_close_v2(db_);
}

namespace {

struct PoolEntry {
    dev_t dev = 0;
    ino_t ino = 0;
    QString key;
    std::shared_ptr<EngineHandle> handle;
};

std::map<QString, PoolEntry>& pool()
{
    static std::map<QString, PoolEntry> p;
    return p;
}

std::shared_ptr<HandOver>& offered()
{
    static std::shared_ptr<HandOver> o;
    return o;
}

// Reads the schema, which makes SQLCipher decrypt the first page: a wrong key, a keyed file
// opened without a key and a damaged file all fail here.
int probe(sqlite3* db)
{
    return sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
}

// The failure's code and words; the handle is closed by its owner.
OpenResult failure(sqlite3* db, int code)
{
    OpenResult r;
    r.code = code;
    r.message = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(code));
    r.systemError = db ? sqlite3_system_errno(db) : 0;
    return r;
}

} // namespace

int ColumnValues(sqlite3* db, const char* sql, QStringList* out, const QString& param)
{
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    if (rc != SQLITE_OK) return rc;
    const QByteArray p = param.toUtf8();
    if (!param.isNull()) sqlite3_bind_text(st, 1, p.constData(), int(p.size()), SQLITE_TRANSIENT);
    while ((rc = sqlite3_step(st)) == SQLITE_ROW)
        if (out) *out << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

void QuietEngineLog()
{
    // A wrong key is an expected outcome here, not something for the engine to log on stderr.
    static const bool quiet = [] {
        sqlite3* mem = nullptr;
        if (sqlite3_open(":memory:", &mem) == SQLITE_OK)
            sqlite3_exec(mem, "PRAGMA cipher_log_level = NONE", nullptr, nullptr, nullptr);
        sqlite3_close(mem);
        return true;
    }();
    Q_UNUSED(quiet);
}

OpenResult OpenKeyedFile(const QString& path, const QString& key, const OpenOptions& options)
{
    QuietEngineLog();
    sqlite3* db = nullptr;
    int flags = options.writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY;
    if (options.singleThread) flags |= SQLITE_OPEN_NOMUTEX;
    int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr);
    // The engine hands out a handle even when the open fails; it is closed all the same.
    auto handle = std::make_shared<EngineHandle>(db);
    if (rc != SQLITE_OK) return failure(db, rc);
    sqlite3_extended_result_codes(db, 0);
    sqlite3_busy_timeout(db, options.busyTimeoutMs);
    if (!key.isEmpty()) {
        const QByteArray k = key.toUtf8();
        rc = sqlite3_key(db, k.constData(), int(k.size()));
        if (rc != SQLITE_OK) return failure(db, rc);
    }
    rc = probe(db);
    if (rc != SQLITE_OK) return failure(db, rc);
    if (!key.isEmpty()) start_trace::Step("key derived");
    // Indexes on text are ordered by the program's own collation.
    RegisterCollation(db);
    return {std::move(handle), SQLITE_OK, {}};
}

OpenResult OpenEngine(const QString& path, bool hasKey, const QString& key)
{
    QuietEngineLog();
    struct stat st {};
    const QByteArray native = QFile::encodeName(path);
    const bool exists = ::stat(native.constData(), &st) == 0;

    if (hasKey && exists) {
        auto it = pool().find(path);
        if (it != pool().end()) {
            PoolEntry& e = it->second;
            if (e.dev == st.st_dev && e.ino == st.st_ino && e.key == key &&
                probe(e.handle->db()) == SQLITE_OK)
                return {e.handle, 0, {}};
            pool().erase(it);
        }
        // The key derived on another thread while the window was built.
        if (offered() && offered()->Path() == path && offered()->Key() == key) {
            const std::shared_ptr<HandOver> offer = std::exchange(offered(), nullptr);
            OpenResult r = offer->Take(st.st_dev, st.st_ino);
            if (r.code != -1) {
                if (r.handle) pool()[path] = PoolEntry{st.st_dev, st.st_ino, key, r.handle};
                return r;
            }
        }
    }

    // Each handle is used by one thread at a time, so the engine's per-call locking is waste
    // (it is paid on every value read).
    OpenOptions options;
    options.singleThread = true;
    OpenResult r = OpenKeyedFile(path, hasKey ? key : QString(), options);
    if (!r.handle) return r;
    if (hasKey && exists) pool()[path] = PoolEntry{st.st_dev, st.st_ino, key, r.handle};
    return r;
}

void ClearEnginePool()
{
    pool().clear();
    offered().reset();
}

void HandOver::Give(OpenResult result, dev_t dev, ino_t ino)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        result_ = std::move(result);
        dev_ = dev;
        ino_ = ino;
        done_ = true;
    }
    given_.notify_all();
}

OpenResult HandOver::Take(dev_t dev, ino_t ino)
{
    if (wanted_) wanted_();
    std::unique_lock<std::mutex> lock(mutex_);
    given_.wait(lock, [this] { return done_; });
    // The file was replaced since: its outcome says nothing about this one.
    if (dev != dev_ || ino != ino_) return {nullptr, -1, {}};
    taken_ = result_.handle != nullptr;
    return std::exchange(result_, {});
}

bool HandOver::Taken()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return taken_;
}

void OfferHandOver(std::shared_ptr<HandOver> offer)
{
    offered() = std::move(offer);
}

} // namespace pelorin::store
