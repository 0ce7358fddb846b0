// A real start of the program: a child process on the offscreen platform, from its launch until
// its start trace says "list filled", with a ledger of 10,000 and of 100,000 loans whose
// durations are current (the start of any day but the first). "ratio" divides it by the floor
// measured in the same run: the longer of a bare Qt window process launched the same way (until
// it is shown) and a process that opens the same file with the key and runs one SELECT of every
// row (until it has read them). The three are launched in turn, nine times; the figures are the
// medians.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include "bench_support.h"
#include "mdata.h"
#include "test_db.h"

extern char** environ;

using namespace pelorin;
using namespace pelorin::bench;

namespace {

// Launches the program with the environment's additions and times it until a line of its stderr
// holds marker; the child is ended once it has also said settled, if it says it at all. Negative
// when it ended or stalled first. (A program killed while it writes its settings leaves their lock
// behind, and the next start waits half a minute for it.)
double launchUntil(const std::vector<std::string>& args, const std::vector<std::string>& env,
                   const char* marker, const char* settled = nullptr)
{
    std::vector<std::string> vars = env;
    for (char** e = environ; *e; ++e) {
        const char* eq = std::strchr(*e, '=');
        const std::string name(*e, eq ? size_t(eq - *e) : std::strlen(*e));
        bool overridden = false;
        for (const std::string& v : env)
            overridden = overridden || v.compare(0, name.size() + 1, name + '=') == 0;
        if (!overridden) vars.emplace_back(*e);
    }
    std::vector<char*> argv, envp;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    for (const std::string& v : vars)
        envp.push_back(const_cast<char*>(v.c_str()));
    envp.push_back(nullptr);

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const auto t0 = Clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    double seconds = -1;
    std::string seen;
    while (spawned == 0) {
        pollfd p{fds[0], POLLIN, 0};
        if (poll(&p, 1, 60000) <= 0) break;
        char buffer[4096];
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n <= 0) break;
        seen.append(buffer, size_t(n));
        if (seconds < 0 && seen.find(marker) != std::string::npos) seconds = Seconds(t0, Clock::now());
        if (seconds >= 0 && (!settled || seen.find(settled) != std::string::npos)) break;
    }
    close(fds[0]);
    if (spawned == 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    return seconds;
}

// A program folder of its own (the program keeps its ledger beside itself) with a ledger of
// `loans` loans, its durations current as of today, and a session whose installer has run.
struct StartFixture {
    explicit StartFixture(int loans)
    {
        for (const char* sub : {"bin", "config/Pelorin", "run"})
            QDir(dir.path()).mkpath(QLatin1String(sub));
        QFile::setPermissions(dir.filePath(QStringLiteral("run")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        program = dir.filePath(QStringLiteral("bin/Pelorin")).toStdString();
        ok = QFile::copy(QStringLiteral(PELORIN_PROGRAM), QString::fromStdString(program));
        QFile ini(dir.filePath(QStringLiteral("config/Pelorin/Pelorin.ini")));
        ok = ok && ini.open(QIODevice::WriteOnly) && ini.write("[Setting]\nInstall=1\n") > 0;
        ini.close();
        const QString ledger = dir.filePath(QStringLiteral("bin/DataBook.mdb"));
        ok = ok && test::CreateDatabase(ledger) && test::FillBooks(ledger, loans);
        sqlite3* db = OpenRaw(ledger);
        RawRefresh(db, QDate::currentDate());
        sqlite3_close(db);
        path = ledger.toStdString();
        env = {"QT_QPA_PLATFORM=offscreen", "PELORIN_START_TRACE=1",
               "XDG_CONFIG_HOME=" + dir.filePath(QStringLiteral("config")).toStdString(),
               "XDG_RUNTIME_DIR=" + dir.filePath(QStringLiteral("run")).toStdString()};
    }
    QTemporaryDir dir;
    std::string program, path;
    std::vector<std::string> env;
    bool ok = false;
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void BM_Start(benchmark::State& state)
{
    StartFixture fx(int(state.range(0)));
    if (!fx.ok) return state.SkipWithError("the program's folder could not be made");
    const std::string key = store::MData::kPassword.toStdString();
    // Each once first, so that all three find their files in the page cache.
    launchUntil({fx.program}, fx.env, "list filled", "first paint");
    launchUntil({FLOOR_READ, fx.path, key}, fx.env, "rows read");
    launchUntil({FLOOR_WINDOW}, fx.env, "shown");
    std::vector<double> program, window, read, floor;
    for (auto _ : state) {
        const double p = launchUntil({fx.program}, fx.env, "list filled", "first paint");
        const double w = launchUntil({FLOOR_WINDOW}, fx.env, "shown");
        const double r = launchUntil({FLOOR_READ, fx.path, key}, fx.env, "rows read");
        if (p < 0 || w < 0 || r < 0) return state.SkipWithError("a start did not get as far as it should");
        state.SetIterationTime(p);
        program.push_back(p);
        window.push_back(w);
        read.push_back(r);
        floor.push_back(std::max(w, r));
    }
    // Medians: a start now and then slowed by the rest of the machine says nothing of either.
    state.counters["ratio"] = median(program) / median(floor);
    state.counters["program_ms"] = median(program) * 1000;
    state.counters["window_ms"] = median(window) * 1000;
    state.counters["read_ms"] = median(read) * 1000;
}
BENCHMARK(BM_Start)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(9);

} // namespace
