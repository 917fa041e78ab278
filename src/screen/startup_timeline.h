#pragma once

// Where the start-up goes, for the benchmark: with ZORBAN_STARTUP_TIMELINE set
// in the environment, each mark writes one line on stderr,
// "zorban-startup: <stage> <ns>", the time on the system's monotonic clock, so
// that a parent process can set it against its own start of the program.
// Without the variable a mark costs one test of a flag.
namespace startup_timeline {

void mark(const char* stage);

} // namespace startup_timeline
