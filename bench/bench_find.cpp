// One keystroke in the find bar and one CSV export, at a hundred thousand loans, each against a
// floor doing the bare work in the same run. "ratio" is the program's time divided by the floor's.
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <vector>

#include "bench_support.h"
#include "frm_main.h"
#include "ledger_model.h"
#include "list_export.h"
#include "save_file.h"

using namespace pelorin;
using namespace pelorin::bench;

namespace {

// Two texts typed in turn, so that every keystroke filters afresh: "كتاب رقم 9999" and the like.
const QString kTyped[2] = {QStringLiteral("9999"), QStringLiteral("999")};

// The floor of a keystroke: the three name columns scanned with QString::contains as they are,
// without normalising anything, collecting the matching rows.
double plainScan(const std::vector<QString>& titles, const std::vector<QString>& authors,
                 const std::vector<QString>& borrowers, const QString& typed, benchmark::State& state)
{
    const auto t0 = Clock::now();
    std::vector<int> shown;
    shown.reserve(titles.size());
    for (size_t i = 0; i < titles.size(); ++i)
        if (titles[i].contains(typed) || authors[i].contains(typed) || borrowers[i].contains(typed))
            shown.push_back(int(i));
    const double s = Seconds(t0, Clock::now());
    if (shown.empty()) state.SkipWithError("the floor found nothing");
    return s;
}

void BM_FindKeystroke(benchmark::State& state)
{
    Fixture fx(int(state.range(0)));
    ledger::FrmMain w;
    w.Form_Load();
    w.ShowFindBar();
    std::vector<QString> titles, authors, borrowers;
    for (int r = 0; r < w.model->rowCount(); ++r) {
        titles.push_back(w.model->CellText(r, ledger::ColNameBook));
        authors.push_back(w.model->CellText(r, ledger::ColNameWriter));
        borrowers.push_back(w.model->CellText(r, ledger::ColNameBorrower));
    }
    double program = 0, floor = 0;
    int turn = 0;
    for (auto _ : state) {
        const QString& typed = kTyped[turn++ % 2];
        const auto t0 = Clock::now();
        w.TxtFind_Change(typed);
        const auto t1 = Clock::now();
        if (w.model->rowCount() == 0 || w.model->rowCount() == state.range(0))
            state.SkipWithError("the filter did not narrow the list");
        state.SetIterationTime(Seconds(t0, t1));
        program += Seconds(t0, t1);
        floor += plainScan(titles, authors, borrowers, typed, state);
    }
    state.counters["ratio"] = program / floor;
    state.counters["floor_ms"] = floor * 1000 / double(state.iterations());
}
BENCHMARK(BM_FindKeystroke)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// The floor of an export: the same bytes written over the same file with one QFile::write.
double plainWrite(const QString& path, const QByteArray& bytes)
{
    const auto t0 = Clock::now();
    QFile f(path);
    const bool ok = f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
    f.close();
    return ok ? Seconds(t0, Clock::now()) : 0;
}

// The same bytes saved as the export saves them: replacing the file as a whole, which syncs
// them to the disk before the new file takes the old one's name. Not the figure's floor; it
// shows how much of the export that step alone takes.
double durableWrite(const QString& path, const QByteArray& bytes)
{
    const auto t0 = Clock::now();
    const bool ok = csv::SaveAtomically(path, bytes);
    return ok ? Seconds(t0, Clock::now()) : 0;
}

void BM_ExportCsv(benchmark::State& state)
{
    Fixture fx(int(state.range(0)));
    ledger::FrmMain w;
    w.Form_Load();
    QTemporaryDir out;
    const QString path = out.filePath(QStringLiteral("export.csv"));
    double program = 0, floor = 0, durable = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        const bool saved =
            csv::SaveAtomically(path, [&](QIODevice& out) { return ledger::WriteListCsv(*w.model, out); });
        const auto t1 = Clock::now();
        if (!saved) state.SkipWithError("the export was not written");
        state.SetIterationTime(Seconds(t0, t1));
        program += Seconds(t0, t1);
        QFile written(path);
        const QByteArray bytes = written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray();
        floor += plainWrite(path, bytes);
        durable += durableWrite(path, bytes);
        state.counters["MB"] = double(bytes.size()) / 1e6;
    }
    state.counters["ratio"] = program / floor;
    state.counters["floor_ms"] = floor * 1000 / double(state.iterations());
    state.counters["saved_whole_ms"] = durable * 1000 / double(state.iterations());
    // Against a save that is as safe as the export's: what making the text itself costs.
    state.counters["ratio_to_safe_save"] = program / durable;
}
BENCHMARK(BM_ExportCsv)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
