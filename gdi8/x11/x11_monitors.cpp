// XMonitors and RandrMonitors: XRandR's list of monitors, the primary first.
#include "x11_monitors.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

namespace gdi8 {

std::vector<Box> XMonitors(SDL_Window* window) {
    std::vector<Box> boxes;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return boxes;
    Display* display = info.info.x11.display;
    int events = 0, errors = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(display, &events, &errors) || !XRRQueryVersion(display, &major, &minor) ||
        major * 100 + minor < 105)
        return boxes;
    return RandrMonitors(display, DefaultRootWindow(display));
}

std::vector<Box> RandrMonitors(Display* display, unsigned long root) {
    std::vector<Box> boxes;
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(display, root, True, &count);
    for (int i = 0; i < count; ++i) {
        const Box box{monitors[i].x, monitors[i].y, monitors[i].width, monitors[i].height};
        boxes.insert(monitors[i].primary ? boxes.begin() : boxes.end(), box);
    }
    if (monitors) XRRFreeMonitors(monitors);
    return boxes;
}

}  // namespace gdi8
