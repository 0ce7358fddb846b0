#include "compact.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>

#include <sqlite3.h>
#include <sys/stat.h>

#include "database.h"
#include "engine.h"
#include "file_steps.h"
#include "mdata.h"
#include "platform.h"

namespace pelorin::store::MData {

namespace {

const QString kTitle = QStringLiteral("تنبيه");
constexpr int kStopStyle = MsgStyle::Critical | MsgStyle::RightAlign | MsgStyle::RtlReading;    // 1572880
constexpr int kInfoStyle = MsgStyle::Information | MsgStyle::RightAlign | MsgStyle::RtlReading; // 1572928

CompactHook& hook()
{
    static CompactHook h;
    return h;
}

void runHook(CompactStage stage, const QString& tempPath)
{
    if (hook()) hook()(stage, tempPath);
}

// One engine handle, closed when it goes out of scope.
class Db {
public:
    Db() = default;
    ~Db() { close(); }
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;

    // Opens an existing file; a key is applied when one is given. Never waits for a lock.
    int open(const QString& path, const QString& key)
    {
        close();
        const QByteArray native = QFile::encodeName(path);
        int rc = sqlite3_open_v2(native.constData(), &db_, SQLITE_OPEN_READWRITE, nullptr);
        if (rc != SQLITE_OK) return rc;
        sqlite3_extended_result_codes(db_, 0);
        sqlite3_busy_timeout(db_, 0);
        if (!key.isEmpty()) {
            const QByteArray k = key.toUtf8();
            rc = sqlite3_key(db_, k.constData(), int(k.size()));
            if (rc != SQLITE_OK) return rc;
        }
        // Indexes on text are ordered by the program's own collation; the copy must agree.
        RegisterCollation(db_);
        return exec("SELECT count(*) FROM sqlite_master");
    }
    void close()
    {
        if (db_) sqlite3_close_v2(db_);
        db_ = nullptr;
    }
    int exec(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); }
    // The engine's words for the last failure on this handle.
    QString error() const { return db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QString(); }

    // Runs a statement with text parameters and returns the first column of its first row.
    int query(const QString& sql, const QStringList& params, QString* first = nullptr)
    {
        sqlite3_stmt* st = nullptr;
        const QByteArray u = sql.toUtf8();
        int rc = sqlite3_prepare_v2(db_, u.constData(), int(u.size()), &st, nullptr);
        if (rc != SQLITE_OK) return rc;
        for (int i = 0; i < params.size(); ++i) {
            const QByteArray value = params[i].toUtf8();
            sqlite3_bind_text(st, i + 1, value.constData(), int(value.size()), SQLITE_TRANSIENT);
        }
        rc = sqlite3_step(st);
        if (rc == SQLITE_ROW && first) {
            const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
            *first = t ? QString::fromUtf8(t) : QString();
        }
        const int done = (rc == SQLITE_ROW || rc == SQLITE_DONE) ? SQLITE_OK : rc;
        const int fin = sqlite3_finalize(st);
        return done != SQLITE_OK ? done : fin;
    }

    // The number of rows of every table of the file, by table name; false on a read error.
    bool rowCounts(QMap<QString, qint64>& out)
    {
        out.clear();
        QStringList tables;
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, "SELECT name FROM sqlite_master WHERE type='table'", -1, &st, nullptr) !=
            SQLITE_OK)
            return false;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW)
            tables << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE) return false;
        for (const QString& t : tables) {
            QString quoted = t;
            quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
            QString n;
            if (query(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(quoted), {}, &n) != SQLITE_OK)
                return false;
            out.insert(t, n.toLongLong());
        }
        return true;
    }

private:
    sqlite3* db_ = nullptr;
};

bool busy(int rc)
{
    return rc == SQLITE_BUSY || rc == SQLITE_LOCKED;
}

void removeCopy(const QString& tempPath)
{
    RemoveIfPresent(tempPath);
    RemoveIfPresent(tempPath + QStringLiteral("-journal"));
}

void tellNotFound()
{
    platform().msgBox(QStringLiteral("لم يتم العثور على قاعدة البيانات"), MsgStyle::Critical, kTitle);
}

void tellInUse()
{
    platform().msgBox(
        QStringLiteral("    لم تتم عملية ضغط قاعدة البيانات بسبب استخدام البرنامج لبعض البيانات") +
            QStringLiteral("\r\n") +
            QStringLiteral("يرجى إغلاق البرنامج وإعادة فتحه من جديد للقيام بعملية ضغط قاعدة البيانات"),
        kStopStyle, kTitle);
}

// The fixed text stays; the engine's or the system's own reason goes under it, so that a full
// disk is not taken for a wrong password.
void tellFailed(const QString& reason)
{
    QString text = QStringLiteral("كلمة المرور لقاعدة البيانات خاطئة");
    if (!reason.isEmpty()) text += QStringLiteral("\n\n") + reason;
    platform().msgBox(text, kStopStyle, kTitle);
}

void tellDone()
{
    platform().msgBox(QStringLiteral("تم ضغط وإصلاح قاعدة البيانات بنجاح"), kInfoStyle, kTitle);
}

enum class Step { Ok, InUse, Failed };

// Checks the copy from a connection of its own: it must not open without the key, must open
// with it, must be sound, and must hold as many rows in every table as the original.
Step checkCopy(const QString& tempPath, const QString& key, const QMap<QString, qint64>& counts, QString& why)
{
    Db check;
    if (check.open(tempPath, QString()) != SQLITE_NOTADB) {
        why = QStringLiteral("النسخة المضغوطة ليست محمية بكلمة المرور");
        return Step::Failed;
    }
    if (check.open(tempPath, key) != SQLITE_OK) return why = check.error(), Step::Failed;
    QString verdict;
    if (check.query(QStringLiteral("PRAGMA quick_check"), {}, &verdict) != SQLITE_OK) {
        why = check.error();
        return Step::Failed;
    }
    if (verdict != QLatin1String("ok")) return why = verdict, Step::Failed;
    QMap<QString, qint64> copied;
    if (!check.rowCounts(copied)) return why = check.error(), Step::Failed;
    if (copied != counts) {
        why = QStringLiteral("عدد السجلات في النسخة المضغوطة لا يطابق الأصل");
        return Step::Failed;
    }
    return Step::Ok;
}

// Writes the compacted copy through `source`, the connection on the original, and leaves
// `source` holding a read transaction so that nobody can commit a change to the original
// until the copy has taken its place.
Step writeCopy(Db& source, const QString& tempPath, QMap<QString, qint64>& counts, QString& why)
{
    const auto engineFailure = [&](int rc) {
        why = source.error();
        return busy(rc) ? Step::InUse : Step::Failed;
    };
    // A copy left by an earlier run that never finished is of no use.
    if (!RemoveIfPresent(tempPath, &why) || !RemoveIfPresent(tempPath + QStringLiteral("-journal"), &why))
        return Step::Failed;
    // The connection may not create files (a missing database must never reappear empty),
    // so the copy starts as an empty file made here.
    if (!CreateEmpty(tempPath, &why)) return Step::Failed;
    // Without a KEY clause the copy is keyed like the original, and the costly key
    // derivation is not repeated.
    int rc = source.query(QStringLiteral("ATTACH DATABASE ?1 AS c"), {tempPath});
    if (rc != SQLITE_OK) return engineFailure(rc);

    // Nobody else may be in the middle of a transaction.
    rc = source.exec("BEGIN EXCLUSIVE");
    if (rc != SQLITE_OK) return engineFailure(rc);
    QString userVersion, before;
    const bool read =
        source.rowCounts(counts) &&
        source.query(QStringLiteral("PRAGMA main.user_version"), {}, &userVersion) == SQLITE_OK &&
        source.query(QStringLiteral("PRAGMA main.data_version"), {}, &before) == SQLITE_OK;
    if (!read) why = source.error();
    source.exec("COMMIT");
    if (!read) return Step::Failed;

    rc = source.query(QStringLiteral("SELECT sqlcipher_export('c')"), {});
    if (rc != SQLITE_OK) why = source.error();
    // The export leaves the user version behind; it is part of the file's identity.
    const int versioned =
        source.query(QStringLiteral("PRAGMA c.user_version = %1").arg(userVersion.toLongLong()), {});
    if (rc == SQLITE_OK && versioned != SQLITE_OK) why = source.error();
    const int detached = source.exec("DETACH DATABASE c");
    if (rc == SQLITE_OK && versioned == SQLITE_OK && detached != SQLITE_OK) why = source.error();
    if (rc != SQLITE_OK) return busy(rc) ? Step::InUse : Step::Failed;
    if (versioned != SQLITE_OK || detached != SQLITE_OK) return Step::Failed;

    // Hold the original still from here on; a change committed meanwhile would be missing
    // from the copy.
    QString after;
    rc = source.exec("BEGIN");
    if (rc == SQLITE_OK) rc = source.exec("SELECT count(*) FROM sqlite_master");
    if (rc == SQLITE_OK) rc = source.query(QStringLiteral("PRAGMA main.data_version"), {}, &after);
    if (rc != SQLITE_OK) return engineFailure(rc);
    if (after != before) return Step::InUse;
    return Step::Ok;
}

} // namespace

QString CompactTempPath(const QString& databasePath)
{
    return databasePath + QStringLiteral(".compacting");
}

void SetCompactHook(CompactHook h)
{
    hook() = std::move(h);
}

CompactOutcome CompactDB(const QString& databasePath)
{
    // A link is followed: the compacted file takes the place of the file it names, so that the
    // link keeps naming the owner's data.
    const QFileInfo given(databasePath);
    const QString path =
        given.isSymLink() && given.exists() ? given.canonicalFilePath() : QDir::cleanPath(databasePath);
    const QString tempPath = CompactTempPath(path);
    const QString key = DbPassword;

    struct stat original {};
    if (!QFileInfo(path).isFile() || ::stat(QFile::encodeName(path).constData(), &original) != 0) {
        tellNotFound();
        return CompactOutcome::NotFound;
    }
    // Removing or replacing an open file succeeds on Linux, so another user of the file has
    // to be found by looking: an open descriptor, or a lock on the file.
    if (platform().fileOpenElsewhere(path)) {
        tellInUse();
        return CompactOutcome::InUse;
    }

    QString why;
    auto fail = [&](Step step) {
        removeCopy(tempPath);
        if (step == Step::InUse) {
            tellInUse();
            return CompactOutcome::InUse;
        }
        tellFailed(why);
        return CompactOutcome::Failed;
    };

    Db source;
    const int rc = source.open(path, key);
    if (rc != SQLITE_OK) why = source.error();
    if (rc != SQLITE_OK) return fail(busy(rc) ? Step::InUse : Step::Failed);

    QMap<QString, qint64> counts;
    Step step = writeCopy(source, tempPath, counts, why);
    if (step != Step::Ok) return fail(step);
    runHook(CompactStage::Written, tempPath);
    step = checkCopy(tempPath, key, counts, why);
    if (step != Step::Ok) return fail(step);
    runHook(CompactStage::Verified, tempPath);

    // The copy belongs to whoever made it; the elevated copy runs as root, and a root-owned file
    // would refuse the owner's later saves.
    TakeOwnerAndMode(tempPath, original);
    if (!SyncFile(tempPath, &why) || !MoveOver(tempPath, path, &why)) return fail(Step::Failed);

    source.exec("COMMIT");
    source.close();
    tellDone();
    return CompactOutcome::Compacted;
}

CompactOutcome CompactOpenDatabase()
{
    if (Rs) Rs->Close();
    if (Conn) Conn->Close();
    ReleasePooledHandles();
    const CompactOutcome outcome = CompactDB(DatabasePath());
    if (!Conn || !Conn->Open()) OpenDatabase();
    return outcome;
}

} // namespace pelorin::store::MData
