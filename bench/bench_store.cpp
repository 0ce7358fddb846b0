// Opening the database and the duration pass, each against the raw engine doing the same work
// in the same run. The "ratio" counter is the program's time divided by the floor's.
#include <QApplication>

#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include "bench_support.h"
#include "database.h"
#include "loan_duration.h"

using namespace pelorin;
using namespace pelorin::bench;

namespace {

// The floor of an open: the raw engine opening the file with its key, as a first open must.
double rawOpen(const QString& path)
{
    const auto t0 = Clock::now();
    sqlite3* db = OpenRaw(path);
    const auto t1 = Clock::now();
    sqlite3_close(db);
    return Seconds(t0, t1);
}

void BM_OpenDatabase(benchmark::State& state)
{
    const bool repeated = state.range(0) == 1;
    Fixture fx(100);
    double program = 0, floor = 0;
    if (repeated) store::MData::OpenDatabase();
    for (auto _ : state) {
        if (!repeated) store::ReleasePooledHandles();
        const auto t0 = Clock::now();
        store::MData::OpenDatabase();
        const auto t1 = Clock::now();
        state.SetIterationTime(Seconds(t0, t1));
        program += Seconds(t0, t1);
        floor += rawOpen(fx.path());
    }
    state.SetLabel(repeated ? "repeated (pooled handle)" : "first (key derivation)");
    state.counters["ms"] = program * 1000 / double(state.iterations());
    state.counters["ratio"] = program / floor;
}
BENCHMARK(BM_OpenDatabase)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_RefreshTimeLoan(benchmark::State& state)
{
    Fixture fx(int(state.range(0)));
    store::MData::OpenDatabase();
    sqlite3* raw = OpenRaw(fx.path());
    const QDate today(2024, 6, 1);
    double program = 0, floor = 0;
    for (auto _ : state) {
        floor += RawRefresh(raw, today);
        const auto t0 = Clock::now();
        store::Recordset& rs = store::MData::NewRs();
        rs.Open(store::sql::kAllBooks, store::MData::Conn);
        duration::RefreshTimeLoan(*store::MData::Conn, rs, today);
        const auto t1 = Clock::now();
        state.SetIterationTime(Seconds(t0, t1));
        program += Seconds(t0, t1);
    }
    sqlite3_close(raw);
    state.counters["ratio"] = program / floor;
    state.counters["resident_MB"] = ResidentMegabytes();
}
BENCHMARK(BM_RefreshTimeLoan)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace
