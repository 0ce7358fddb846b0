// Compacting a large ledger and printing a long report, each against a floor doing the bare
// work in the same run, and the report's own PDF against the printer's. The "ratio" counter is
// the program's time divided by the floor's.
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include "bench_support.h"
#include "compact.h"
#include "database.h"
#include "drpelorin.h"
#include "mdata.h"
#include "report_loan.h"
#include "report_render.h"
#include "style.h"
#include "test_db.h"

using namespace pelorin;
using namespace pelorin::bench;

namespace {

// The floor of compaction: the raw engine exporting the file into a new keyed file.
double rawExport(const QString& path, const QString& target)
{
    QFile::remove(target);
    const auto t0 = Clock::now();
    QFile(target).open(QIODevice::WriteOnly); // the raw handle may not create files
    sqlite3* db = OpenRaw(path);
    const QByteArray sql =
        QStringLiteral("ATTACH DATABASE '%1' AS c KEY '%2'; SELECT sqlcipher_export('c'); DETACH DATABASE c;")
            .arg(target, store::MData::kPassword)
            .toUtf8();
    const int rc = sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    const double s = Seconds(t0, Clock::now());
    const bool written = rc == SQLITE_OK && QFileInfo(target).size() > 0;
    QFile::remove(target);
    return written ? s : -1;
}

void BM_CompactDB(benchmark::State& state)
{
    const int loans = int(state.range(0));
    Fixture fx(loans);
    // Half the ledger deleted again, so there is something to reclaim on the first pass.
    test::Query(fx.path(), QStringLiteral("DELETE FROM TableBook WHERE ID % 2 = 0"));
    const qint64 before = QFileInfo(fx.path()).size();
    const QString target = fx.path() + QStringLiteral(".floor");
    double program = 0, floor = 0, written = 0, checked = 0;
    bool allCompacted = true;
    Clock::time_point t0, stageWritten;
    // Where the time goes: up to the copy written, its check, and the swap that follows.
    store::MData::SetCompactHook([&](store::MData::CompactStage stage, const QString&) {
        const auto now = Clock::now();
        if (stage == store::MData::CompactStage::Written) {
            written += Seconds(t0, now);
            stageWritten = now;
        } else {
            checked += Seconds(stageWritten, now);
        }
    });
    for (auto _ : state) {
        const double f = rawExport(fx.path(), target);
        if (f < 0) state.SkipWithError("the floor's export failed");
        floor += f;
        t0 = Clock::now();
        allCompacted &= store::MData::CompactDB(fx.path()) == store::MData::CompactOutcome::Compacted;
        const auto t1 = Clock::now();
        state.SetIterationTime(Seconds(t0, t1));
        program += Seconds(t0, t1);
    }
    store::MData::SetCompactHook({});
    const int rows =
        test::Query(fx.path(), QStringLiteral("SELECT count(*) FROM TableBook")).value(0).toInt();
    if (!allCompacted || rows != loans - loans / 2) state.SkipWithError("compaction failed or lost rows");
    state.counters["ratio"] = program / floor;
    state.counters["copy_ms"] = written * 1000 / double(state.iterations());
    state.counters["check_ms"] = checked * 1000 / double(state.iterations());
    state.counters["floor_ms"] = floor * 1000 / double(state.iterations());
    state.counters["size_before_MB"] = double(before) / (1024.0 * 1024.0);
    state.counters["size_after_MB"] = double(QFileInfo(fx.path()).size()) / (1024.0 * 1024.0);
    state.counters["resident_MB"] = ResidentMegabytes();
}
BENCHMARK(BM_CompactDB)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// The floor of the report: the same texts drawn plainly, six to a row and fifty rows to a
// page, into a PDF, from rows read with the raw engine.
double rawReport(const QString& db, const QString& pdf)
{
    const auto t0 = Clock::now();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setFullPage(true);
    QPainter p(&printer);
    p.setFont(chrome::ArabicFont(11.25));
    const qreal scale = printer.logicalDpiX() / 1440.0;
    sqlite3* raw = OpenRaw(db);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(
        raw,
        "SELECT NameBook, NameWriter, NameBorrower, DateLoan, DateReturn, TimeLoan FROM TableBook"
        " ORDER BY NameBook",
        -1, &st, nullptr);
    static const int lefts[6] = {8780, 7053, 5353, 4168, 2968, 567};
    int row = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        if (row == 50) {
            printer.newPage();
            row = 0;
        }
        for (int c = 0; c < 6; ++c) {
            const QString text = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)));
            p.drawText(QRectF((200 + lefts[c]) * scale, (600 + row * 300) * scale, 1200 * scale, 300 * scale),
                       Qt::AlignRight | Qt::AlignVCenter, text);
        }
        ++row;
    }
    sqlite3_finalize(st);
    sqlite3_close(raw);
    p.end();
    return Seconds(t0, Clock::now());
}

// The report as the printer gets it, into a PDF through Qt's PDF engine (as Qt prints here).
bool printerPdf(const QString& pdf)
{
    if (!ledger::PrepareLoanReport(QStringLiteral("مكتبتي"))) return false;
    const report::ReportDesign& design = ledger::DRPelorin();
    const report::ReportData data = report::SnapshotRows(*design.dataSource);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    report::PreparePrinter(printer);
    return report::RenderReport(printer, design, data);
}

void BM_LoanReportPdf(benchmark::State& state)
{
    Fixture fx(int(state.range(0)));
    const QString pdf = fx.path() + QStringLiteral(".pdf");
    const QString floorPdf = fx.path() + QStringLiteral(".floor.pdf");
    double program = 0, floor = 0;
    for (auto _ : state) {
        floor += rawReport(fx.path(), floorPdf);
        const auto t0 = Clock::now();
        const bool ok = printerPdf(pdf);
        const auto t1 = Clock::now();
        if (!ok) state.SkipWithError("the report was not written");
        state.SetIterationTime(Seconds(t0, t1));
        program += Seconds(t0, t1);
    }
    ledger::DRPelorin().dataSource.reset();
    state.counters["ratio"] = program / floor;
    state.counters["pdf_MB"] = double(QFileInfo(pdf).size()) / (1024.0 * 1024.0);
    state.counters["resident_MB"] = ResidentMegabytes();
}
BENCHMARK(BM_LoanReportPdf)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// The report saved as a PDF whose text reads as text (cairo and pango, the ToUnicode maps mended,
// written whole to the file) against the printer's PDF of the same report.
void BM_LoanReportTextPdf(benchmark::State& state)
{
    Fixture fx(int(state.range(0)));
    const QString pdf = fx.path() + QStringLiteral(".pdf");
    const QString printed = fx.path() + QStringLiteral(".printer.pdf");
    double program = 0, floor = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        if (!printerPdf(printed)) state.SkipWithError("the printer's PDF was not written");
        const auto t1 = Clock::now();
        if (!ledger::RenderLoanReportPdf(pdf, QStringLiteral("مكتبتي")))
            state.SkipWithError("the PDF was not written");
        const auto t2 = Clock::now();
        state.SetIterationTime(Seconds(t1, t2));
        floor += Seconds(t0, t1);
        program += Seconds(t1, t2);
    }
    ledger::DRPelorin().dataSource.reset();
    state.counters["ratio"] = program / floor;
    state.counters["printer_ms"] = floor * 1000 / double(state.iterations());
    state.counters["pdf_MB"] = double(QFileInfo(pdf).size()) / (1024.0 * 1024.0);
    state.counters["printer_pdf_MB"] = double(QFileInfo(printed).size()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_LoanReportTextPdf)->Arg(10000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
