// A hundred thousand loans of an Access file's TableBook read into the preview's rows (the
// reader's child process, its CSV read back, the rows built), against Debian's mdb-export writing
// the same table to /dev/null in the same run. The write that follows is the CSV import's, timed
// there; "ratio_with_write" adds it here for a whole import, without a target.
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include "access_file.h"
#include "bench_support.h"
#include "import_rows.h"
#include "import_write.h"

using namespace pelorin;
using namespace pelorin::bench;

namespace {

double mdbExport(const QString& file)
{
    const auto t0 = Clock::now();
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(QStringLiteral("mdb-export"), {file, QStringLiteral("TableBook")});
    p.waitForFinished(-1);
    return p.exitCode() == 0 ? Seconds(t0, Clock::now()) : -1;
}

void BM_ImportAccess(benchmark::State& state)
{
    const int rows = int(state.range(0));
    Fixture fx(0);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("loans.mdb"));
    if (QProcess::execute(QStringLiteral("python3"), {QStringLiteral(PELORIN_JET4_WRITER),
                                                      QStringLiteral("big"), QString::number(rows), file}) !=
        0)
        state.SkipWithError("the Jet 4 writer failed");
    importing::AccessReaderProgram() = QStringLiteral(PELORIN_ACCESS_READER);
    sqlite3* db = OpenRaw(fx.path());
    double program = 0, written = 0, floor = 0;
    for (auto _ : state) {
        const double exported = mdbExport(file);
        if (exported < 0) state.SkipWithError("mdb-export failed");
        floor += exported;
        const auto t0 = Clock::now();
        const importing::ParsedFile table = importing::ReadAccessTable(file, QStringLiteral("TableBook"));
        QSet<QString> keys;
        store::Reason reason;
        importing::LedgerKeys(db, keys, reason);
        const importing::ImportRows built = importing::BuildRows(table.records, table.map, keys);
        const auto t1 = Clock::now();
        QList<const importing::ImportRow*> chosen;
        chosen.reserve(built.accepted.size());
        for (const importing::ImportRow& r : built.accepted)
            chosen.append(&r);
        const importing::WriteOutcome o = importing::WriteLoans(db, chosen, QDate(2024, 6, 1));
        const auto t2 = Clock::now();
        if (!table.error.isEmpty() || !o.ok || o.written != rows)
            state.SkipWithError("the import did not read every row");
        state.SetIterationTime(Seconds(t0, t1));
        program += Seconds(t0, t1);
        written += Seconds(t0, t2);
        sqlite3_exec(db, "DELETE FROM TableBook", nullptr, nullptr, nullptr);
    }
    sqlite3_close(db);
    state.counters["ratio"] = program / floor;
    state.counters["ratio_with_write"] = written / floor;
    state.counters["floor_ms"] = floor * 1000 / double(state.iterations());
}
BENCHMARK(BM_ImportAccess)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
