#include "bench_support.h"

#include <QFile>

#include <fstream>
#include <sstream>
#include <string>

#include <sqlite3.h>
#include <unistd.h>

#include "database.h"
#include "fake_platform.h"
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

QString Fixture::path() const { return d->dir.filePath(QStringLiteral("DataBook.mdb")); }

sqlite3* OpenRaw(const QString& path)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    const QByteArray key = store::MData::kPassword.toUtf8();
    sqlite3_key(db, key.constData(), int(key.size()));
    sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    return db;
}

double ResidentMegabytes()
{
    std::ifstream f("/proc/self/statm");
    long pages = 0, resident = 0;
    f >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

} // namespace pelorin::bench
