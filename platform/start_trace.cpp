#include "start_trace.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <mutex>
#include <string>
#include <unistd.h>

namespace pelorin::start_trace {

namespace {

using Clock = std::chrono::steady_clock;

struct State {
    State()
    {
        const char* v = std::getenv("PELORIN_START_TRACE");
        on = v && *v && std::strcmp(v, "0") != 0;
    }
    bool on = false;
    Clock::time_point zero = Clock::now();
    Clock::time_point last = zero;
    std::mutex mutex;
};

State& state()
{
    static State s;
    return s;
}

double ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// Milliseconds from the process's exec to now, to the kernel's tick (10 ms); -1 when unknown.
double sinceExec()
{
    std::ifstream f("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    // The fields after the command's name, which may hold blanks, start after its last ')'.
    const size_t close = stat.rfind(')');
    if (close == std::string::npos) return -1;
    const char* p = stat.c_str() + close + 2;
    // The start time is field 22; the text here begins at field 3.
    for (int field = 3; field < 22 && p; ++field) {
        p = std::strchr(p, ' ');
        if (p) ++p;
    }
    if (!p) return -1;
    const double ticks = std::strtod(p, nullptr);
    timespec boot{};
    clock_gettime(CLOCK_BOOTTIME, &boot);
    const double nowMs = double(boot.tv_sec) * 1000.0 + double(boot.tv_nsec) / 1e6;
    return nowMs - ticks * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

} // namespace

bool On()
{
    return state().on;
}

void ProcessStarted()
{
    State& s = state();
    if (!s.on) return;
    std::lock_guard<std::mutex> lock(s.mutex);
    s.zero = s.last = Clock::now();
    std::fprintf(stderr, "start trace: %8.1f ms (+%6.1f)  process start (exec %.0f ms before main)\n", 0.0,
                 0.0, sinceExec());
}

void Step(const char* what)
{
    State& s = state();
    if (!s.on) return;
    std::lock_guard<std::mutex> lock(s.mutex);
    const Clock::time_point now = Clock::now();
    std::fprintf(stderr, "start trace: %8.1f ms (+%6.1f)  %s\n", ms(now - s.zero), ms(now - s.last), what);
    std::fflush(stderr);
    s.last = now;
}

} // namespace pelorin::start_trace
