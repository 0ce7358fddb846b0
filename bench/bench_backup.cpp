// A backup of the ledger (snapshot, flush, check, rename) against a bare sqlcipher_export of the
// same file in the same run. The "ratio" counter is the backup's time divided by the export's.
#include <QFile>

#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include "bench_support.h"
#include "database.h"
#include "take_backup.h"

using namespace pelorin;
using namespace pelorin::bench;

namespace {

// The floor: export the file into a new attached file on a connection already keyed.
double bareExport(sqlite3* db, const QString& target)
{
    QFile::remove(target);
    QFile f(target);
    f.open(QIODevice::WriteOnly);
    f.close();
    const QByteArray attach = "ATTACH DATABASE '" + QFile::encodeName(target) + "' AS c";
    const auto t0 = Clock::now();
    sqlite3_exec(db, attach.constData(), nullptr, nullptr, nullptr);
    sqlite3_exec(db, "SELECT sqlcipher_export('c')", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "DETACH DATABASE c", nullptr, nullptr, nullptr);
    const double s = Seconds(t0, Clock::now());
    QFile::remove(target);
    return s;
}

void BM_Backup(benchmark::State& state)
{
    Fixture fx(int(state.range(0)));
    // The program holds the file with its key derived, as it does while the ledger is open.
    store::MData::OpenDatabase();
    sqlite3* raw = OpenRaw(fx.path());
    double program = 0, floor = 0;
    for (auto _ : state) {
        floor += bareExport(raw, fx.path() + QStringLiteral(".floor"));
        const auto t0 = Clock::now();
        const backup::Outcome o = backup::TakeBackup(false);
        const auto t1 = Clock::now();
        if (!o.ok) state.SkipWithError(o.reason.toStdString().c_str());
        QFile::remove(o.path);
        state.SetIterationTime(Seconds(t0, t1));
        program += Seconds(t0, t1);
    }
    sqlite3_close(raw);
    state.counters["ratio"] = program / floor;
}
BENCHMARK(BM_Backup)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
