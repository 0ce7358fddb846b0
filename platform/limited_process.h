// A helper program run as a child process under limits on its time and memory, for work on
// input the program cannot trust: whatever the child does, this process only sees its output
// and how it ended.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

namespace pelorin {

struct ProcessLimits {
    int seconds = 60;                       // wall-clock time, and as much processor time
    qint64 memoryBytes = qint64(1) << 30;   // address space
    qint64 outputBytes = qint64(512) << 20; // standard output kept; more ends the child
};

struct LimitedRun {
    QByteArray out; // what the child wrote and no reader took
    QByteArray err; // its last 64 KB
    int exitCode = -1;
    bool started = false;
    QString startError;    // why it did not start
    bool crashed = false;  // ended by a signal (a fault, or the memory limit)
    bool timedOut = false; // killed at the time limit
    bool tooMuch = false;  // killed for writing more than outputBytes
    bool stopped = false;  // killed because stop was set
    bool ok() const { return started && !crashed && !timedOut && !tooMuch && !stopped && exitCode == 0; }
};

// Given the output not yet taken each time more arrives, while the child still runs; it removes
// from the front what it took.
using OutputReader = std::function<void(QByteArray& pending)>;

// Runs the program with the arguments and waits for it on this thread, which need not have an
// event loop; stop, checked ten times a second, kills it. The child writes no core file. A
// reader takes the output as it comes, so that this process works on it while the child writes.
LimitedRun RunLimited(const QString& program, const QStringList& arguments, const ProcessLimits& limits,
                      const std::atomic<bool>* stop = nullptr, const OutputReader& reader = {});

} // namespace pelorin
