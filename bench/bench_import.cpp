// A hundred thousand loans imported from a CSV file, against a floor that reads the same file,
// splits it naively and inserts the same rows with one prepared statement in one transaction.
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include "bench_support.h"
#include "import_file.h"
#include "import_write.h"
#include "test_db.h"

using namespace pelorin;
using namespace pelorin::bench;

namespace {

// Loans as a spreadsheet would hold them: the export's header, quoted titles now and then,
// day-first dates, the not-returned marker.
QByteArray csvOf(int rows)
{
    QString text =
        QStringLiteral("\uFEFFاسم الكتاب,اسم المؤلف,اسم المستعير,تاريخ الإعارة,تاريخ الرد,مدة الإعارة\r\n");
    for (int i = 0; i < rows; ++i) {
        const int day = 1 + i % 28, month = 1 + i % 12, year = 1990 + i % 30;
        text += (i % 10 == 0 ? QStringLiteral("\"كتاب، رقم %1\"") : QStringLiteral("كتاب رقم %1")).arg(i) +
                QStringLiteral(",مؤلف %1,مستعير %2,%3/%4/%5,")
                    .arg(i % 500)
                    .arg(i % 900)
                    .arg(day)
                    .arg(month)
                    .arg(year) +
                (i % 3 ? QStringLiteral("%1/%2/%3").arg(day).arg(month).arg(year + 1)
                       : QStringLiteral("لم يرد بعد")) +
                QStringLiteral(",\r\n");
    }
    return text.toUtf8();
}

bool readAll(const QString& path, QByteArray& out)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    out = f.readAll();
    return true;
}

// The floor reads the file, splits it at every comma and line break without looking at quotes,
// and inserts the split fields with the durations the import stored (gathered beforehand), so
// that it writes as many bytes as the import does.
double floorImport(sqlite3* db, const QString& path, const QStringList& durations)
{
    const auto t0 = Clock::now();
    QByteArray bytes;
    readAll(path, bytes);
    const QString text = QString::fromUtf8(bytes);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(
        db,
        "INSERT INTO TableBook (NameBook, NameWriter, NameBorrower, DateLoan, DateReturn, TimeLoan)"
        " VALUES (?, ?, ?, ?, ?, ?)",
        -1, &st, nullptr);
    qsizetype row = -1;
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (row++ < 0 || line.isEmpty()) continue;
        int column = 1;
        for (QStringView field : line.split(u','))
            if (column <= 5)
                sqlite3_bind_text16(st, column++, field.utf16(), int(field.size() * 2), SQLITE_STATIC);
        const QString& time = durations[(row - 1) % durations.size()];
        sqlite3_bind_text16(st, 6, time.utf16(), int(time.size() * 2), SQLITE_STATIC);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    return Seconds(t0, Clock::now());
}

void BM_ImportCsv(benchmark::State& state)
{
    const int rows = int(state.range(0));
    Fixture fx(0);
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("loans.csv"));
    {
        QFile f(csv);
        if (!f.open(QIODevice::WriteOnly) || f.write(csvOf(rows)) < 0) state.SkipWithError("no CSV file");
    }
    sqlite3* db = OpenRaw(fx.path());
    double program = 0, floor = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        QByteArray bytes;
        readAll(csv, bytes);
        const importing::ParsedFile file = importing::ParseFile(bytes);
        QSet<QString> keys;
        store::Reason reason;
        importing::LedgerKeys(db, keys, reason);
        const importing::ImportRows built = importing::BuildRows(file.records, file.map, keys);
        QList<const importing::ImportRow*> chosen;
        chosen.reserve(built.accepted.size());
        for (const importing::ImportRow& r : built.accepted)
            chosen.append(&r);
        const importing::WriteOutcome o = importing::WriteLoans(db, chosen, QDate(2024, 6, 1));
        const auto t1 = Clock::now();
        if (!o.ok || o.written != rows) state.SkipWithError("the import did not write every row");
        state.SetIterationTime(Seconds(t0, t1));
        program += Seconds(t0, t1);
        const QStringList durations =
            test::Query(fx.path(), QStringLiteral("SELECT TimeLoan FROM TableBook ORDER BY ID"));
        sqlite3_exec(db, "DELETE FROM TableBook", nullptr, nullptr, nullptr);
        floor += floorImport(db, csv, durations);
        sqlite3_exec(db, "DELETE FROM TableBook", nullptr, nullptr, nullptr);
    }
    sqlite3_close(db);
    state.counters["ratio"] = program / floor;
    state.counters["floor_ms"] = floor * 1000 / double(state.iterations());
}
BENCHMARK(BM_ImportCsv)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
