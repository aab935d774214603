// A Linux build on SDL alone (KVO_X11 off; a Wayland-only system): there is
// no other program's window to draw into. The X side's entry points, doing
// nothing; CanDrawInside says so, and the program refuses --root and
// --window-id before it gets here.
#include "gdi8.h"
#include "placement.h"
#include "x11/x11_monitors.h"
#include "x11/x11_picture.h"
#include "x11/x11_window.h"

#include <cstdio>

namespace gdi8 {

bool CanDrawInside() { return false; }

unsigned long FindXWindow(unsigned long, char* why, size_t size) {
    std::snprintf(why, size, "this build of Kvo draws into no other program's window (no X11)");
    return 0;
}
void FollowXWindow(SDL_Window*, unsigned long) {}
void EndWithXWindow(unsigned long) {}
void NoteXEvent(const void*) {}
bool XWindowSeen() { return true; }
bool StartXPicture(SDL_Window*, unsigned long, int, int) { return false; }
void PaintXPicture(const uint8_t*, const uint32_t[256], int, int, bool) {}
void NoteMonitorEvent(const void*) {}
std::vector<Box> XMonitors(SDL_Window*) { return {}; }

}  // namespace gdi8
