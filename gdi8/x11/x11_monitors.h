// The monitors of the X display that an SDL window is on, as XRandR lists
// them. SDL's own list of displays can miss monitors that XRandR has (seen
// with Xorg's dummy outputs), and a zoom centres the window on its monitor.
#pragma once

#include <vector>

#include "present.h"

struct SDL_Window;
struct _XDisplay;  // Xlib's Display, left out so that a build on SDL alone needs no X headers

namespace gdi8 {

// The active monitors (XRandR 1.5), the primary one first; none where the
// window is not on X or the server lists no monitors.
std::vector<Box> XMonitors(SDL_Window* window);

// The active monitors of `display` whose root window is `root`, the primary
// one first (XRandR 1.5, which the caller has checked).
std::vector<Box> RandrMonitors(_XDisplay* display, unsigned long root);

}  // namespace gdi8
