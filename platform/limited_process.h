// A helper program run as a child process under limits on its time and memory, for work on
// input the program cannot trust: whatever the child does, this process only sees its output
// and how it ended.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <atomic>

namespace pelorin {

struct ProcessLimits {
    int seconds = 60;                       // wall-clock time, and as much processor time
    qint64 memoryBytes = qint64(1) << 30;   // address space
    qint64 outputBytes = qint64(512) << 20; // standard output kept; more ends the child
};

struct LimitedRun {
    QByteArray out;
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

// Runs the program with the arguments and waits for it on this thread, which need not have an
// event loop; stop, checked ten times a second, kills it. The child writes no core file.
LimitedRun RunLimited(const QString& program, const QStringList& arguments, const ProcessLimits& limits,
                      const std::atomic<bool>* stop = nullptr);

} // namespace pelorin
