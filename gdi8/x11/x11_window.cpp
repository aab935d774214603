// FindXWindow and FollowXWindow, through Xlib beside SDL.
#include "x11_window.h"

#include "gdi8.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <unistd.h>

#include <cstdio>

namespace gdi8 {

namespace {

bool Failed = false;
unsigned long Followed = 0;
unsigned long FollowedToo = 0;
XErrorHandler Previous = nullptr;
bool Mapped = true;
bool Covered = false;

int NoteError(Display*, XErrorEvent*) {
    Failed = true;
    return 0;
}

// The window's end shows up as an error about it on SDL's connection, from a
// drawing request or a query: the program ends there, quietly. Every other
// error goes where it went before.
int EndWhenGone(Display* display, XErrorEvent* error) {
    if (((error->error_code == BadWindow || error->error_code == BadDrawable) &&
         error->resourceid == Followed) ||
        (FollowedToo && error->resourceid == FollowedToo))
        _exit(0);  // no Xlib call may follow, nor exit handlers that make one
    // When the root window changes size (a monitor came, went or changed),
    // SDL asks where window 0 lies on it: harmless, and no reason to end.
    if (error->request_code == X_TranslateCoords && error->resourceid == 0) return 0;
    return Previous ? Previous(display, error) : 0;
}

}  // namespace

unsigned long FindXWindow(unsigned long id, char* why, size_t size) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::snprintf(why, size, "cannot reach the X display \"%s\"", XDisplayName(nullptr));
        return 0;
    }
    if (!id) id = DefaultRootWindow(display);
    Failed = false;
    const XErrorHandler before = XSetErrorHandler(NoteError);
    XWindowAttributes attributes;
    const bool found = XGetWindowAttributes(display, id, &attributes) && !Failed;
    XSync(display, False);
    XSetErrorHandler(before);
    XCloseDisplay(display);
    if (found) return id;
    std::snprintf(why, size, "there is no X window 0x%lx", id);
    return 0;
}

void FollowXWindow(SDL_Window* window, unsigned long id) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
    Display* display = info.info.x11.display;
    Followed = id;
    Previous = XSetErrorHandler(EndWhenGone);
    // SDL then reads the window's ConfigureNotify as a resize and its Expose
    // as an exposure; the rest comes through NoteXEvent.
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, id, &attributes)) {
        Mapped = attributes.map_state != IsUnmapped;
        XSelectInput(display, id,
                     attributes.your_event_mask | StructureNotifyMask | ExposureMask |
                         VisibilityChangeMask);
    }
    XFlush(display);
}

void EndWithXWindow(unsigned long resource) { FollowedToo = resource; }

void NoteXEvent(const void* xevent) {
    const XEvent& event = *static_cast<const XEvent*>(xevent);
    if (event.xany.window != Followed) return;
    if (event.type == MapNotify) Mapped = true;
    if (event.type == UnmapNotify) Mapped = false;
    if (event.type == VisibilityNotify) Covered = event.xvisibility.state == VisibilityFullyObscured;
}

bool XWindowSeen() { return Mapped && !Covered; }

bool CanDrawInside() { return true; }

}  // namespace gdi8
