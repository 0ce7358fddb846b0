#include "take_backup.h"

#include <QFileInfo>
#include <QStringList>

#include <sqlite3.h>

#include "backup_check.h"
#include "backup_files.h"
#include "engine.h"
#include "file_steps.h"
#include "mdata.h"
#include "platform.h"

namespace pelorin::backup {

namespace {

BackupHook& hook()
{
    static BackupHook h;
    return h;
}

qint64 count(sqlite3* db, const char* sql, bool* ok)
{
    QStringList value;
    if (store::ColumnValues(db, sql, &value) == SQLITE_OK && !value.isEmpty())
        return value.first().toLongLong();
    *ok = false;
    return -1;
}

struct Snapshot {
    qint64 loans = -1;
    qint64 settingRows = -1;
};

// Exports the ledger into the attached empty file in one read transaction, so that the row
// counts and the copy are of the same moment. The copy needs no journal of its own: a copy
// that does not finish is thrown away.
bool exportInto(sqlite3* db, const QString& ledger, const QString& temp, Snapshot* snap, store::Reason* why)
{
    if (store::ColumnValues(db, "ATTACH DATABASE ?1 AS bk", nullptr, temp) != SQLITE_OK) {
        *why = store::Reason::Engine(db);
        return false;
    }
    // The counting pass leaves every page in the cache for the export to read.
    bool cacheOk = true;
    const qint64 cache = count(db, "PRAGMA main.cache_size", &cacheOk);
    const auto setCache = [db](qint64 size) {
        sqlite3_exec(db, QByteArray("PRAGMA main.cache_size = " + QByteArray::number(size)).constData(),
                     nullptr, nullptr, nullptr);
    };
    if (cacheOk) setCache(CacheFor(ledger));
    bool ok = sqlite3_exec(db, "PRAGMA bk.journal_mode = OFF; PRAGMA bk.synchronous = OFF; BEGIN", nullptr,
                           nullptr, nullptr) == SQLITE_OK;
    if (ok) {
        snap->loans = count(db, "SELECT count(*) FROM main.TableBook", &ok);
        snap->settingRows = count(db, "SELECT count(*) FROM main.TableSetting", &ok);
    }
    bool versionOk = true;
    const qint64 version = ok ? count(db, "PRAGMA main.user_version", &versionOk) : 0;
    ok = ok && versionOk &&
         sqlite3_exec(db, "SELECT sqlcipher_export('bk')", nullptr, nullptr, nullptr) == SQLITE_OK &&
         // The export leaves the user version behind; it is part of the file's identity.
         sqlite3_exec(db, QStringLiteral("PRAGMA bk.user_version = %1").arg(version).toUtf8().constData(),
                      nullptr, nullptr, nullptr) == SQLITE_OK &&
         sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!ok) *why = store::Reason::Engine(db);
    if (!sqlite3_get_autocommit(db)) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    if (cacheOk) setCache(cache);
    if (sqlite3_exec(db, "DETACH DATABASE bk", nullptr, nullptr, nullptr) != SQLITE_OK && ok) {
        *why = store::Reason::Engine(db);
        ok = false;
    }
    return ok;
}

void pruneOld()
{
    for (const BackupFile& old : ToPrune(ListBackups(), platform().today()))
        store::RemoveIfPresent(old.path);
}

} // namespace

QString BackupTempPath()
{
    return BackupFolder() + QStringLiteral("/DataBook.mdb.writing");
}

void SetBackupHook(BackupHook h)
{
    hook() = std::move(h);
}

Outcome TakeBackup(bool prune)
{
    Outcome out;
    const QString ledger = LedgerPath();
    const QString temp = BackupTempPath();
    if (!QFileInfo(ledger).isFile()) {
        out.reason = QStringLiteral("لم يتم العثور على قاعدة البيانات");
        return out;
    }
    store::Reason why;
    auto fail = [&](const QString& what) {
        store::RemoveIfPresent(temp);
        out.reason = why.IsEmpty() ? what : what + QLatin1Char('\n') + why.Text();
        return out;
    };
    if (!EnsureBackupFolder(&out.reason)) return out;
    const QString cannotWrite = QStringLiteral("تعذرت كتابة النسخة الاحتياطية:");
    // A temporary file left by a run that was killed is of no use.
    if (!store::RemoveIfPresent(temp, &why) || !store::CreateEmpty(temp, &why)) return fail(cannotWrite);

    // The program's own pooled handle: no second key derivation, and the file as it holds it.
    store::OpenResult source =
        store::OpenEngine(store::MData::DatabasePath(), true, store::MData::DbPassword);
    if (source.code != SQLITE_OK) {
        why = source.reason();
        return fail(QStringLiteral("تعذر فتح قاعدة البيانات لنسخها:"));
    }
    // A handle in the middle of a transaction would put rows into the backup that may never be
    // committed; the backup then reads what is committed through a handle of its own.
    if (!sqlite3_get_autocommit(source.handle->db())) {
        source = store::OpenKeyedFile(ledger, store::MData::DbPassword);
        if (!source.handle) {
            why = source.reason();
            return fail(QStringLiteral("تعذر فتح قاعدة البيانات لنسخها:"));
        }
    }
    Snapshot snap;
    if (!exportInto(source.handle->db(), ledger, temp, &snap, &why)) return fail(cannotWrite);
    if (!store::SyncFile(temp, &why)) return fail(cannotWrite);
    if (hook()) hook()(BackupStage::Written, temp);

    Checker checker(store::MData::DbPassword);
    checker.adopt(FileSalt(ledger), source.handle);
    const FileCheck check = checker.check(temp);
    const QString notSound = QStringLiteral("لم تجتز النسخة الاحتياطية الفحص:");
    if (!check.sound) {
        why = store::Reason::Said(check.reason);
        return fail(notSound);
    }
    if (check.loans != snap.loans || check.settingRows != snap.settingRows) {
        why = store::Reason::Said(QStringLiteral("عدد السجلات في النسخة لا يطابق قاعدة البيانات"));
        return fail(notSound);
    }
    if (hook()) hook()(BackupStage::Verified, temp);

    const QString folder = BackupFolder();
    out.path = MoveToFreeName(temp, folder, platform().now(), &why);
    if (out.path.isEmpty()) return fail(cannotWrite);
    store::SyncFolder(folder);
    out.ok = true;
    if (prune) pruneOld();
    return out;
}

} // namespace pelorin::backup
