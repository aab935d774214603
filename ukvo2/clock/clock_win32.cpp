// The millisecond clock on Windows: the multimedia timer.
#include <windows.h>
#include <mmsystem.h>

#include "clock/clock.h"

namespace ukvo2 {

uint32_t SystemClock() { return timeGetTime(); }

double StopwatchSeconds() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace ukvo2
