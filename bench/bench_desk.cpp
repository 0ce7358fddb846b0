// Names offered while typing in the title box at a hundred thousand loans (as many titles),
// against the find bar's keystroke for the same letters in the same run: "ratio" is the
// offering's time divided by the find bar's. Each letter typed in turn is one that every title
// holds (the list fills at once) and one that none holds (every title is looked through).
#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include "bench_support.h"
#include "frm_main.h"
#include "ledger_model.h"
#include "name_completer.h"

using namespace pelorin;
using namespace pelorin::bench;

namespace {

// By the letters typed: 1 or 2.
const QString kTyped[2][2] = {{QStringLiteral("ك"), QStringLiteral("ز")},
                              {QStringLiteral("كت"), QStringLiteral("زي")}};

void BM_NameSuggestions(benchmark::State& state)
{
    const int letters = int(state.range(0));
    Fixture fx(100000);
    ledger::FrmMain w;
    w.Form_Load();
    // The names are gathered once the load is over, as in the running program.
    QCoreApplication::processEvents();
    const double resident = ResidentMegabytes();
    w.ShowFindBar();
    double program = 0, floor = 0;
    int turn = 0;
    for (auto _ : state) {
        const QString& typed = kTyped[letters - 1][turn++ % 2];
        const auto t0 = Clock::now();
        w.BookNames->Offer(typed);
        const auto t1 = Clock::now();
        const bool every = typed.startsWith(u'ك');
        if (w.BookNames->Offered().size() != (every ? ledger::NameCompleter::kMostOffered : 0))
            state.SkipWithError("the titles offered are not the ones expected");
        state.SetIterationTime(Seconds(t0, t1));
        program += Seconds(t0, t1);

        const auto f0 = Clock::now();
        w.TxtFind_Change(typed);
        floor += Seconds(f0, Clock::now());
        if (w.model->rowCount() != (every ? 100000 : 0)) state.SkipWithError("the find bar found otherwise");
    }
    // Gathering the names again, as the list's filling after every change does (once it is over).
    const auto g0 = Clock::now();
    for (int i = 0; i < 5; ++i)
        w.GatherNames();
    state.counters["gather_ms"] = Seconds(g0, Clock::now()) * 1000 / 5;
    state.counters["resident_MB"] = resident;
    state.counters["ratio"] = program / floor;
    state.counters["floor_ms"] = floor * 1000 / double(state.iterations());
}
BENCHMARK(BM_NameSuggestions)->Arg(1)->Arg(2)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
