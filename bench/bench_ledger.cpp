// The ledger window's load sequence (open, duration pass, list fill, library name) and a
// header-click re-sort, each against the raw engine doing the same reads and writes in the
// same run. "ratio" is the window's time divided by the floor's.
#include <QApplication>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include "bench_support.h"
#include "database.h"
#include "engine.h"
#include "frm_main.h"
#include "ledger_model.h"
#include "loan_duration.h"

using namespace pelorin;
using namespace pelorin::bench;

namespace {

const QDate kToday(2024, 6, 1);

// Steps through a statement reading every column as text, as a list fill must.
void readAll(sqlite3* db, const char* sql, benchmark::State& state)
{
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &st, nullptr);
    size_t bytes = 0;
    while (sqlite3_step(st) == SQLITE_ROW)
        for (int c = 0, n = sqlite3_column_count(st); c < n; ++c) {
            sqlite3_column_text(st, c);
            bytes += size_t(sqlite3_column_bytes(st, c));
        }
    sqlite3_finalize(st);
    if (bytes == 0) state.SkipWithError("the floor read nothing");
}

// Two floors: the raw engine ordering texts with the program's Arabic collation (the same
// work), and with the engine's own byte-wise NOCASE (what the engine alone would cost).

// The floor of the load: a keyed open, the duration pass with the same text computation in one
// transaction, the list read in title/borrower order, and the settings row.
double rawLoad(const QString& path, bool programCollation, benchmark::State& state)
{
    const auto t0 = Clock::now();
    sqlite3* db = OpenRaw(path);
    if (programCollation) store::RegisterCollation(db);
    RawRefresh(db, kToday);
    readAll(db, store::sql::kListDefault.toUtf8().constData(), state);
    readAll(db, "SELECT NameLibrary FROM TableSetting", state);
    sqlite3_close(db);
    return Seconds(t0, Clock::now());
}

double rawSort(const QString& path, bool programCollation, benchmark::State& state)
{
    sqlite3* db = OpenRaw(path);
    if (programCollation) store::RegisterCollation(db);
    const QByteArray sql = store::sql::SortStatement(QStringLiteral("NameBook"), true).toUtf8();
    const auto t0 = Clock::now();
    readAll(db, sql.constData(), state);
    const double s = Seconds(t0, Clock::now());
    sqlite3_close(db);
    return s;
}

void BM_LedgerLoad(benchmark::State& state)
{
    Fixture fx(int(state.range(0)));
    double program = 0, floor = 0, plainFloor = 0, resident = 0;
    for (auto _ : state) {
        // Every start derives the key afresh, as the floor's open does.
        store::MData::Rs.reset();
        store::MData::Conn.reset();
        store::ReleasePooledHandles();
        auto w = std::make_unique<ledger::FrmMain>();
        const auto t0 = Clock::now();
        w->Form_Load();
        const auto t1 = Clock::now();
        if (w->model->rowCount() != state.range(0)) state.SkipWithError("the list is incomplete");
        resident = std::max(resident, ResidentMegabytes());
        w.reset();
        state.SetIterationTime(Seconds(t0, t1));
        program += Seconds(t0, t1);
        floor += rawLoad(fx.path(), true, state);
        plainFloor += rawLoad(fx.path(), false, state);
    }
    state.counters["ratio"] = program / floor;
    state.counters["ratio_nocase"] = program / plainFloor;
    state.counters["floor_ms"] = floor * 1000 / double(state.iterations());
    state.counters["resident_MB"] = resident;
}
BENCHMARK(BM_LedgerLoad)
    ->Arg(10000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

void BM_HeaderClickSort(benchmark::State& state)
{
    Fixture fx(int(state.range(0)));
    ledger::FrmMain w;
    w.Form_Load();
    double program = 0, floor = 0, plainFloor = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        w.lvwRoom_ColumnClick(ledger::ColNameBook);
        const auto t1 = Clock::now();
        if (w.model->rowCount() != state.range(0)) state.SkipWithError("the list is incomplete");
        state.SetIterationTime(Seconds(t0, t1));
        program += Seconds(t0, t1);
        floor += rawSort(fx.path(), true, state);
        plainFloor += rawSort(fx.path(), false, state);
    }
    state.counters["ratio"] = program / floor;
    state.counters["ratio_nocase"] = program / plainFloor;
    state.counters["floor_ms"] = floor * 1000 / double(state.iterations());
    state.counters["resident_MB"] = ResidentMegabytes();
}
BENCHMARK(BM_HeaderClickSort)
    ->Arg(10000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4);

} // namespace
