// The millisecond clock on Windows: the multimedia timer.
#include <windows.h>
#include <mmsystem.h>

#include "ukvo2.h"

namespace ukvo2 {

uint32_t SystemClock() { return timeGetTime(); }

}  // namespace ukvo2
