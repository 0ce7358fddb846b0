#include "limited_process.h"

#include <QElapsedTimer>
#include <QProcess>

#include <sys/resource.h>

namespace pelorin {

namespace {

constexpr qsizetype kErrKept = 64 * 1024;
constexpr qsizetype kReaderPiece = 64 * 1024;

void keepTail(QByteArray& kept, const QByteArray& more)
{
    kept += more;
    if (kept.size() > kErrKept) kept.remove(0, kept.size() - kErrKept);
}

} // namespace

LimitedRun RunLimited(const QString& program, const QStringList& arguments, const ProcessLimits& limits,
                      const std::atomic<bool>* stop, const OutputReader& reader)
{
    LimitedRun run;
    QProcess p;
    p.setProgram(program);
    p.setArguments(arguments);
    const rlim_t seconds = rlim_t(limits.seconds);
    const rlim_t memory = rlim_t(limits.memoryBytes);
    // Runs in the child between fork and exec: only calls safe there.
    p.setChildProcessModifier([seconds, memory] {
        const rlimit none{0, 0}, cpu{seconds, seconds + 1}, space{memory, memory};
        setrlimit(RLIMIT_CORE, &none);
        setrlimit(RLIMIT_CPU, &cpu);
        setrlimit(RLIMIT_AS, &space);
    });
    p.start(QIODevice::ReadOnly);
    if (!p.waitForStarted(10000)) {
        run.startError = p.errorString();
        return run;
    }
    run.started = true;
    QElapsedTimer clock;
    clock.start();
    auto kill = [&p](bool& why) {
        why = true;
        p.kill();
        p.waitForFinished(5000);
    };
    qint64 written = 0;
    while (p.state() != QProcess::NotRunning) {
        p.waitForReadyRead(100);
        const QByteArray more = p.readAllStandardOutput();
        written += more.size();
        run.out += more;
        // In pieces large enough that handing them over costs little.
        if (reader && run.out.size() >= kReaderPiece) reader(run.out);
        keepTail(run.err, p.readAllStandardError());
        if (written > limits.outputBytes)
            kill(run.tooMuch);
        else if (stop && stop->load(std::memory_order_relaxed))
            kill(run.stopped);
        else if (clock.elapsed() > qint64(limits.seconds) * 1000)
            kill(run.timedOut);
    }
    p.waitForFinished(1000);
    run.out += p.readAllStandardOutput();
    keepTail(run.err, p.readAllStandardError());
    run.crashed = p.exitStatus() == QProcess::CrashExit && !run.stopped && !run.timedOut && !run.tooMuch;
    run.exitCode = p.exitCode();
    return run;
}

} // namespace pelorin
