#include "bench_support.h"

#include <QFile>

#include <fstream>
#include <sstream>
#include <string>

#include <sqlite3.h>
#include <unistd.h>

#include "database.h"
#include "fake_platform.h"
#include "loan_duration.h"
#include "test_db.h"

namespace pelorin::bench {

struct Fixture::Impl {
    test::FakePlatform fake;
    QTemporaryDir dir;
};

Fixture::Fixture(int loans) : d(new Impl)
{
    d->fake.folder = d->dir.path();
    d->fake.todayValue = QDate(2024, 6, 1);
    store::MData::DbPassword = store::MData::kPassword;
    test::CreateDatabase(path());
    test::FillBooks(path(), loans);
}

Fixture::~Fixture()
{
    store::MData::Rs.reset();
    store::MData::Conn.reset();
    store::ReleasePooledHandles();
}

QString Fixture::path() const
{
    return d->dir.filePath(QStringLiteral("DataBook.mdb"));
}

sqlite3* OpenRaw(const QString& path)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    const QByteArray key = store::MData::kPassword.toUtf8();
    sqlite3_key(db, key.constData(), int(key.size()));
    sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    return db;
}

double RawRefresh(sqlite3* db, const QDate& today)
{
    const auto t0 = Clock::now();
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* sel = nullptr;
    sqlite3_stmt* upd = nullptr;
    sqlite3_prepare_v2(db, "SELECT _rowid_, DateLoan, DateReturn FROM TableBook", -1, &sel, nullptr);
    sqlite3_prepare_v2(db, "UPDATE TableBook SET TimeLoan=? WHERE _rowid_=?", -1, &upd, nullptr);
    while (sqlite3_step(sel) == SQLITE_ROW) {
        const QString loan = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(sel, 1)));
        const QString ret = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(sel, 2)));
        const QString text = duration::GetTimeLoan(loan, ret, today);
        sqlite3_bind_text16(upd, 1, text.utf16(), int(text.size() * 2), SQLITE_TRANSIENT);
        sqlite3_bind_int64(upd, 2, sqlite3_column_int64(sel, 0));
        sqlite3_step(upd);
        sqlite3_reset(upd);
    }
    sqlite3_finalize(sel);
    sqlite3_finalize(upd);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    return Seconds(t0, Clock::now());
}

double ResidentMegabytes()
{
    std::ifstream f("/proc/self/statm");
    long pages = 0, resident = 0;
    f >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

} // namespace pelorin::bench
