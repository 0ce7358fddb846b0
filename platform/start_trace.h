// A trace of one start, to find where its time goes: with PELORIN_START_TRACE set (to anything
// but empty or 0), each step prints on stderr the milliseconds since main began and since the
// step before. Steps may come from any thread.
#pragma once

namespace pelorin::start_trace {

bool On();
// Call first thing in main: the trace's zero, and how long the process took to get there.
void ProcessStarted();
void Step(const char* what);

} // namespace pelorin::start_trace
