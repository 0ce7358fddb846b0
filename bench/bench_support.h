// Shared pieces of the benchmarks: a temporary database of N loans under a fake platform,
// a raw keyed engine handle for the floors, and resident memory.
#pragma once

#include <QDate>
#include <QString>
#include <QTemporaryDir>

#include <chrono>
#include <memory>

struct sqlite3;

namespace pelorin::bench {

// A folder holding DataBook.mdb with `loans` records; installs a platform double whose program
// folder is that folder, and sets the database password.
class Fixture {
public:
    explicit Fixture(int loans);
    ~Fixture();
    QString path() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// A raw, keyed engine handle on the file (the floor's own connection).
sqlite3* OpenRaw(const QString& path);

// The floor of the duration pass: raw reads, the same text computation, raw writes by rowid, in
// one transaction. Returns the seconds it took.
double RawRefresh(sqlite3* db, const QDate& today);

// Resident memory of this process in megabytes.
double ResidentMegabytes();

using Clock = std::chrono::steady_clock;
inline double Seconds(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double>(b - a).count();
}

} // namespace pelorin::bench
