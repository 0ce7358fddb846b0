#include "test_db.h"

#include <QFile>

#include <sqlite3.h>

namespace pelorin::test {

namespace {
sqlite3* openKeyed(const QString& path, const QString& key, bool create)
{
    sqlite3* db = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return nullptr;
    }
    if (!key.isEmpty()) {
        const QByteArray k = key.toUtf8();
        sqlite3_key(db, k.constData(), int(k.size()));
    }
    return db;
}

bool bindRow(sqlite3_stmt* st, const QStringList& values)
{
    for (int i = 0; i < values.size(); ++i) {
        if (values[i].isNull())
            sqlite3_bind_null(st, i + 1);
        else {
            const QByteArray u = values[i].toUtf8();
            sqlite3_bind_text(st, i + 1, u.constData(), int(u.size()), SQLITE_TRANSIENT);
        }
    }
    const bool ok = sqlite3_step(st) == SQLITE_DONE;
    sqlite3_reset(st);
    return ok;
}

const char* const kInsertBook =
    "INSERT INTO TableBook (NameBook,NameWriter,NameBorrower,DateLoan,DateReturn,TimeLoan)"
    " VALUES (?,?,?,?,?,?)";
} // namespace

bool CreateDatabase(const QString& path, const QString& key, const std::vector<BookRow>& rows,
                    const QString& libraryName)
{
    QFile::remove(path);
    sqlite3* db = openKeyed(path, key, true);
    if (!db) return false;
    const char* schema =
        "CREATE TABLE TableBook (ID INTEGER PRIMARY KEY AUTOINCREMENT, NameBook TEXT COLLATE NOCASE,"
        " NameWriter TEXT COLLATE NOCASE, NameBorrower TEXT COLLATE NOCASE, DateLoan TEXT COLLATE NOCASE,"
        " DateReturn TEXT COLLATE NOCASE, TimeLoan TEXT COLLATE NOCASE);"
        "CREATE TABLE TableSetting (NameLibrary TEXT COLLATE NOCASE);";
    bool ok = sqlite3_exec(db, schema, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    ok = ok && sqlite3_prepare_v2(db, kInsertBook, -1, &st, nullptr) == SQLITE_OK;
    for (const BookRow& r : rows)
        ok = ok &&
             bindRow(st, {r.nameBook, r.nameWriter, r.nameBorrower, r.dateLoan, r.dateReturn, r.timeLoan});
    sqlite3_finalize(st);
    st = nullptr;
    if (!libraryName.isNull()) {
        ok = ok &&
             sqlite3_prepare_v2(db, "INSERT INTO TableSetting VALUES (?)", -1, &st, nullptr) == SQLITE_OK;
        ok = ok && bindRow(st, {libraryName});
        sqlite3_finalize(st);
    }
    ok = ok && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

QStringList Query(const QString& path, const QString& sql, const QString& key)
{
    QStringList out;
    sqlite3* db = openKeyed(path, key, false);
    if (!db) return {QStringLiteral("<cannot open>")};
    const QByteArray u = sql.toUtf8();
    const char* tail = u.constData();
    while (tail && *tail) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, tail, -1, &st, &tail) != SQLITE_OK) {
            out = {QStringLiteral("<error> ") + QString::fromUtf8(sqlite3_errmsg(db))};
            break;
        }
        if (!st) break;
        out.clear();
        while (sqlite3_step(st) == SQLITE_ROW) {
            const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
            out << (t ? QString::fromUtf8(t) : QString());
        }
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return out;
}

bool FillBooks(const QString& path, int count, const QString& key)
{
    sqlite3* db = openKeyed(path, key, false);
    if (!db) return false;
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    bool ok = sqlite3_prepare_v2(db, kInsertBook, -1, &st, nullptr) == SQLITE_OK;
    for (int i = 0; ok && i < count; ++i) {
        const int y = 2000 + i % 25, m = 1 + i % 12, d = 1 + i % 28;
        const QString loan =
            QStringLiteral("%1/%2/%3").arg(y).arg(m, 2, 10, QLatin1Char('0')).arg(d, 2, 10, QLatin1Char('0'));
        const QString ret = (i % 3 == 0) ? QStringLiteral("لم يرد بعد")
                                         : QStringLiteral("%1/%2/%3")
                                               .arg(y + 1)
                                               .arg(m, 2, 10, QLatin1Char('0'))
                                               .arg(d, 2, 10, QLatin1Char('0'));
        ok = bindRow(st, {QStringLiteral("كتاب رقم %1").arg((i * 7919) % count),
                          QStringLiteral("مؤلف %1").arg(i % 500), QStringLiteral("مستعير %1").arg(i % 300),
                          loan, ret, QStringLiteral("قديم")});
    }
    sqlite3_finalize(st);
    ok = ok && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

WriteLock::WriteLock(const QString& path, const QString& key)
{
    db_ = openKeyed(path, key, false);
    held_ = db_ && sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
}

WriteLock::~WriteLock()
{
    if (db_) {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db_);
    }
}

} // namespace pelorin::test
