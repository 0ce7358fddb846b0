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

// One engine handle with the words of its last failure.
class Db {
public:
    // Opens an existing file; a key is applied when one is given. Never waits for a lock.
    int open(const QString& path, const QString& key)
    {
        OpenOptions options;
        options.busyTimeoutMs = 0;
        const OpenResult r = OpenKeyedFile(path, key, options);
        handle_ = r.handle;
        failure_ = r.reason();
        return r.code;
    }
    void close() { handle_.reset(); }
    int exec(const char* sql) { return sqlite3_exec(handle_->db(), sql, nullptr, nullptr, nullptr); }
    // Why the open or the last statement on this handle failed.
    Reason error() const { return handle_ ? Reason::Engine(handle_->db()) : failure_; }

    // Runs a statement with at most one text parameter; the first column of its first row.
    int query(const QString& sql, const QString& param = QString(), QString* first = nullptr)
    {
        QStringList values;
        const int rc = ColumnValues(handle_->db(), sql.toUtf8().constData(), &values, param);
        if (first) *first = values.value(0);
        return rc;
    }

    // The number of rows of every table of the file, by table name; false on a read error.
    bool rowCounts(QMap<QString, qint64>& out)
    {
        out.clear();
        QStringList tables;
        if (ColumnValues(handle_->db(), "SELECT name FROM sqlite_master WHERE type='table'", &tables) !=
            SQLITE_OK)
            return false;
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
    std::shared_ptr<EngineHandle> handle_;
    Reason failure_;
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

// The fixed text says the password is wrong, which fits a file that does not read with the key.
// A full disk, a read-only folder or a refused permission is no fault of the password: there
// the cause says itself in its place.
void tellFailed(const Reason& reason)
{
    QString text;
    switch (reason.cause) {
    case Cause::DiskFull:
    case Cause::ReadOnly:
    case Cause::Denied:
    case Cause::InUse:
    case Cause::DiskError:
        text = QStringLiteral("لم تتم عملية ضغط قاعدة البيانات، وبقيت كما كانت.");
        break;
    default:
        text = QStringLiteral("كلمة المرور لقاعدة البيانات خاطئة");
        break;
    }
    if (!reason.IsEmpty()) text += QStringLiteral("\n\n") + reason.Text();
    platform().msgBox(text, kStopStyle, kTitle);
}

void tellDone()
{
    platform().msgBox(QStringLiteral("تم ضغط وإصلاح قاعدة البيانات بنجاح"), kInfoStyle, kTitle);
}

enum class Step { Ok, InUse, Failed };

// Checks the copy from a connection of its own: it must not open without the key, must open
// with it, must be sound, and must hold as many rows in every table as the original.
Step checkCopy(const QString& tempPath, const QString& key, const QMap<QString, qint64>& counts, Reason& why)
{
    Db check;
    if (check.open(tempPath, QString()) != SQLITE_NOTADB) {
        why = Reason::Said(QStringLiteral("النسخة المضغوطة ليست محمية بكلمة المرور"));
        return Step::Failed;
    }
    if (check.open(tempPath, key) != SQLITE_OK) return why = check.error(), Step::Failed;
    QString verdict;
    if (check.query(QStringLiteral("PRAGMA quick_check"), {}, &verdict) != SQLITE_OK) {
        why = check.error();
        return Step::Failed;
    }
    if (verdict != QLatin1String("ok")) return why = Reason{Cause::Damaged, verdict}, Step::Failed;
    QMap<QString, qint64> copied;
    if (!check.rowCounts(copied)) return why = check.error(), Step::Failed;
    if (copied != counts) {
        why = Reason::Said(QStringLiteral("عدد السجلات في النسخة المضغوطة لا يطابق الأصل"));
        return Step::Failed;
    }
    return Step::Ok;
}

// Writes the compacted copy through `source`, the connection on the original, and leaves
// `source` holding a read transaction so that nobody can commit a change to the original
// until the copy has taken its place.
Step writeCopy(Db& source, const QString& tempPath, QMap<QString, qint64>& counts, Reason& why)
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
    int rc = source.query(QStringLiteral("ATTACH DATABASE ?1 AS c"), tempPath);
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

    Reason why;
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
