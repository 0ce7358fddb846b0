// The ledger window at a hundred thousand loans: made ready (open, duration pass, list, library
// name) and re-sorted by a header click, each against the raw engine doing the bare reads and
// writes in the same run. "ratio" is the window's time divided by the floor's.
//
// Floors: ready is a keyed open, the list's own statement (title then borrower, in the
// program's collation) over the listed fields, and the library name; with stale texts the
// floor also writes those rows. A re-sort's floor is the engine running the sort statement of
// the same column with the program's collation.
#include <QApplication>
#include <QTableView>

#include <benchmark/benchmark.h>

#include <map>

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
constexpr int kLoans = 100000;
// Every twentieth loan has a stale duration when the ledger is made ready.
const char* const kMakeStale = "UPDATE TableBook SET TimeLoan = 'قديم' WHERE ID % 20 = 0";

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

void exec(const QString& path, const char* sql)
{
    sqlite3* db = OpenRaw(path);
    sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// Today's text of each loan that kMakeStale touches, by record key.
std::map<qint64, QByteArray> staleRowsToday(const QString& path)
{
    std::map<qint64, QByteArray> out;
    sqlite3* db = OpenRaw(path);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT ID, DateLoan, DateReturn FROM TableBook WHERE ID % 20 = 0", -1, &st,
                       nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) {
        auto text = [st](int c) {
            return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)));
        };
        out[sqlite3_column_int64(st, 0)] = duration::GetTimeLoan(text(1), text(2), kToday).toUtf8();
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out;
}

// The floor of making the ledger ready; with `stale`, those rows are written too.
double rawReady(const QString& path, const std::map<qint64, QByteArray>* stale, benchmark::State& state)
{
    const auto t0 = Clock::now();
    sqlite3* db = OpenRaw(path);
    store::RegisterCollation(db);
    readAll(db,
            "SELECT ID, NameBook, NameWriter, NameBorrower, DateLoan, DateReturn, TimeLoan FROM TableBook"
            " order by TableBook.NameBook Asc,TableBook.NameBorrower asc",
            state);
    if (stale) {
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "UPDATE TableBook SET TimeLoan = ? WHERE _rowid_ = ?", -1, &st, nullptr);
        for (const auto& [id, text] : *stale) {
            sqlite3_bind_text(st, 1, text.constData(), int(text.size()), SQLITE_STATIC);
            sqlite3_bind_int64(st, 2, id);
            sqlite3_step(st);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    readAll(db, "SELECT NameLibrary FROM TableSetting", state);
    sqlite3_close(db);
    return Seconds(t0, Clock::now());
}

// Range 0: every duration current; 1: one loan in twenty stale.
void BM_LedgerReady(benchmark::State& state)
{
    const bool stale = state.range(0) == 1;
    Fixture fx(kLoans);
    sqlite3* raw = OpenRaw(fx.path());
    RawRefresh(raw, kToday); // every text current as of the benchmark's day
    sqlite3_close(raw);
    const std::map<qint64, QByteArray> todays = staleRowsToday(fx.path());
    double program = 0, floor = 0, resident = 0;
    for (auto _ : state) {
        if (stale) exec(fx.path(), kMakeStale);
        // Every start derives the key afresh, as the floor's open does.
        store::MData::Rs.reset();
        store::MData::Conn.reset();
        store::ReleasePooledHandles();
        auto w = std::make_unique<ledger::FrmMain>();
        const auto t0 = Clock::now();
        w->Form_Load();
        const auto t1 = Clock::now();
        if (w->model->rowCount() != kLoans) state.SkipWithError("the list is incomplete");
        resident = std::max(resident, ResidentMegabytes());
        w.reset();
        store::MData::Rs.reset();
        store::MData::Conn.reset();
        store::ReleasePooledHandles();
        state.SetIterationTime(Seconds(t0, t1));
        program += Seconds(t0, t1);

        if (stale) exec(fx.path(), kMakeStale);
        floor += rawReady(fx.path(), stale ? &todays : nullptr, state);
    }
    state.SetLabel(stale ? "5% stale" : "texts current");
    state.counters["ratio"] = program / floor;
    state.counters["floor_ms"] = floor * 1000 / double(state.iterations());
    state.counters["resident_MB"] = resident;
}
BENCHMARK(BM_LedgerReady)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

double rawSort(sqlite3* db, const QString& column, bool ascending, benchmark::State& state)
{
    const QByteArray sql = store::sql::SortStatement(column, ascending).toUtf8();
    const auto t0 = Clock::now();
    readAll(db, sql.constData(), state);
    return Seconds(t0, Clock::now());
}

// Each column of texts in turn, ascending then descending, as two clicks on its header give.
void BM_HeaderClickSort(benchmark::State& state)
{
    Fixture fx(kLoans);
    ledger::FrmMain w;
    w.Form_Load();
    const double afterLoad = ResidentMegabytes();
    sqlite3* db = OpenRaw(fx.path());
    store::RegisterCollation(db);
    double program = 0, floor = 0;
    int click = 0;
    for (auto _ : state) {
        const int column = ledger::ColNameBook + (click / 2) % (ledger::ColumnCount - 1);
        ++click;
        const auto t0 = Clock::now();
        w.lvwRoom_ColumnClick(column);
        const auto t1 = Clock::now();
        if (w.model->rowCount() != kLoans) state.SkipWithError("the list is incomplete");
        state.SetIterationTime(Seconds(t0, t1));
        program += Seconds(t0, t1);
        floor += rawSort(db, w.SortColumn, w.SortOrder == QLatin1String(" ASC "), state);
    }
    sqlite3_close(db);
    state.counters["ratio"] = program / floor;
    state.counters["floor_ms"] = floor * 1000 / double(state.iterations());
    state.counters["resident_MB"] = std::max(afterLoad, ResidentMegabytes());
}
BENCHMARK(BM_HeaderClickSort)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(12);

} // namespace
