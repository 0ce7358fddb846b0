#include "backup_check.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <sqlite3.h>

#include <cerrno>

#include "backup_files.h"
#include "engine.h"
#include "mdata.h"

namespace pelorin::backup {

using store::ColumnValues;

namespace {

constexpr int kSaltBytes = 16;

QString engineError(sqlite3* db)
{
    return store::Reason::Engine(db).Text();
}

// The checks proper, on the file attached to a keyed handle as "chk".
FileCheck checkAttached(sqlite3* db)
{
    FileCheck out;
    QStringList verdict, loans, settings, name;
    if (ColumnValues(db, "PRAGMA chk.integrity_check(3)", &verdict) != SQLITE_OK) {
        out.reason = engineError(db);
        return out;
    }
    if (verdict != QStringList{QStringLiteral("ok")}) {
        out.reason = store::Explained(store::Cause::Damaged, verdict.join(QLatin1Char('\n')));
        return out;
    }
    if (ColumnValues(db, "SELECT count(*) FROM chk.TableBook", &loans) != SQLITE_OK ||
        ColumnValues(db, "SELECT count(*) FROM chk.TableSetting", &settings) != SQLITE_OK ||
        ColumnValues(db, "SELECT NameLibrary FROM chk.TableSetting LIMIT 1", &name) != SQLITE_OK) {
        out.reason = QStringLiteral("الملف لا يحوي جداول قاعدة البيانات:\n") + engineError(db);
        return out;
    }
    out.loans = loans.value(0).toLongLong();
    out.settingRows = settings.value(0).toLongLong();
    out.libraryName = name.value(0);
    out.sound = true;
    return out;
}

} // namespace

int CacheFor(const QString& path)
{
    constexpr qint64 kMostKiB = 512 * 1024;
    return -int(qBound<qint64>(8 * 1024, QFileInfo(path).size() / 1024 + 1024, kMostKiB));
}

QByteArray FileSalt(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.read(kSaltBytes);
}

Checker::Checker(const QString& password) : password_(password) {}

Checker::~Checker() = default;

void Checker::adopt(const QByteArray& salt, std::shared_ptr<store::EngineHandle> handle)
{
    if (salt.size() == kSaltBytes && handle) keyed_[salt] = std::move(handle);
}

void Checker::adoptLedger()
{
    const QString ledger = LedgerPath();
    if (!QFileInfo(ledger).isFile()) return;
    store::OpenResult r = store::OpenEngine(store::MData::DatabasePath(), true, password_);
    // A handle in the middle of a transaction cannot attach another file.
    if (r.code == SQLITE_OK && sqlite3_get_autocommit(r.handle->db())) adopt(FileSalt(ledger), r.handle);
}

FileCheck Checker::check(const QString& path)
{
    FileCheck out;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        const int systemError = errno;
        out.reason = store::Explained(store::FileCause(file.error(), systemError), file.errorString());
        return out;
    }
    const QByteArray salt = file.read(kSaltBytes);
    file.close();
    if (salt.startsWith(QByteArrayLiteral("SQLite format 3"))) {
        out.reason = QStringLiteral("الملف غير محمي بكلمة المرور، فليس من ملفات البرنامج");
        return out;
    }
    if (salt.size() < kSaltBytes) {
        out.reason = QStringLiteral("الملف فارغ أو مبتور");
        return out;
    }
    auto it = keyed_.find(salt);
    if (it == keyed_.end()) {
        store::OpenOptions readOnly;
        readOnly.writable = false;
        const store::OpenResult r = store::OpenKeyedFile(path, password_, readOnly);
        if (!r.handle) {
            out.reason = r.reason().Text();
            return out;
        }
        it = keyed_.emplace(salt, r.handle).first;
    }
    sqlite3* db = it->second->db();
    // Attached afresh, the file is read from the disk and not from any cache of its writer.
    if (ColumnValues(db, "ATTACH DATABASE ?1 AS chk", nullptr, path) != SQLITE_OK) {
        out.reason = engineError(db);
        return out;
    }
    sqlite3_exec(db, QByteArray("PRAGMA chk.cache_size = " + QByteArray::number(CacheFor(path))).constData(),
                 nullptr, nullptr, nullptr);
    out = checkAttached(db);
    sqlite3_exec(db, "DETACH DATABASE chk", nullptr, nullptr, nullptr);
    return out;
}

} // namespace pelorin::backup
