// The clocks: the millisecond clock that drives the animation, and a finer
// one for timing.
#pragma once

#include <cstdint>
#include <functional>

namespace ukvo2 {

// The millisecond clock: milliseconds since some start, modulo 2^32.
// ReadClock reads the clock in force; SetClock replaces it (tests and tools
// drive the animation with chosen readings), and an empty function restores
// the system clock.
uint32_t ReadClock();
void SetClock(std::function<uint32_t()> clock);

// The platform's own clock (the multimedia timer on Windows).
uint32_t SystemClock();

// A finer clock for timing the kernels against one another: seconds from
// some fixed moment, never going back. On the web it has whole
// milliseconds: there a module holds one set beyond the plain one, and
// nothing is timed.
double StopwatchSeconds();

}  // namespace ukvo2
