// The clock in force: the system's, or one that a test or tool drives.
#include <utility>

#include "clock/clock.h"

namespace ukvo2 {

namespace {
std::function<uint32_t()> DrivenClock;
}

uint32_t ReadClock() { return DrivenClock ? DrivenClock() : SystemClock(); }

void SetClock(std::function<uint32_t()> clock) { DrivenClock = std::move(clock); }

}  // namespace ukvo2
