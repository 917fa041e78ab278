#include "startup_timeline.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace startup_timeline {

void mark(const char* stage) {
    static const bool wanted = std::getenv("ZORBAN_STARTUP_TIMELINE") != nullptr;
    if (!wanted)
        return;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::fprintf(stderr, "zorban-startup: %s %lld\n", stage,
                 static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
}

} // namespace startup_timeline
