// The millisecond clock on POSIX systems: the monotonic clock in
// milliseconds, modulo 2^32, like the multimedia timer's count since start-up.
#include <time.h>

#include "clock/clock.h"

namespace ukvo2 {

uint32_t SystemClock() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u +
                        static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

double StopwatchSeconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

}  // namespace ukvo2
