// The millisecond clock in a web page: the page's clock, which the page hands
// to the module as the import env.clock (performance.now() in whole
// milliseconds, modulo 2^32).
#include "clock/clock.h"

extern "C" __attribute__((import_module("env"), import_name("clock"))) uint32_t PageClock();

namespace ukvo2 {

uint32_t SystemClock() { return PageClock(); }

double StopwatchSeconds() { return PageClock() / 1000.0; }

}  // namespace ukvo2
