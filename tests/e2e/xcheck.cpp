// kvo2_xcheck: looks at and acts on the program's X11 window from outside.
//   kvo2_xcheck shot WINDOW MIN [X Y W H]   every pixel of the window (or of that
//       rectangle of the screen, for WINDOW root) must be a palette colour (else
//       status 1), and at least MIN different ones must show (else status 3)
//   kvo2_xcheck close WINDOW   asks the window to close the way a window
//       manager does, with a WM_DELETE_WINDOW message
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "ukvo2.h"
// After ukvo2.h: X.h defines macros such as Complex.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

int Shot(Display* display, Window window, size_t minColours, int x, int y, int w, int h) {
    if (w <= 0) {
        XWindowAttributes a;
        w = XGetWindowAttributes(display, window, &a) ? a.width : 1, h = a.height;
    }
    XImage* image = XGetImage(display, window, x, y, w, h, AllPlanes, ZPixmap);
    if (!image) {
        std::printf("no image of window 0x%lx\n", window);
        return 2;
    }
    ukvo2::BuildPalette();
    std::set<unsigned long> palette, seen;
    for (const auto& e : ukvo2::Palette) palette.insert(e.red << 16 | e.green << 8 | e.blue);
    long foreign = 0, first = -1;
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) {
            const unsigned long p = XGetPixel(image, col, row) & 0xffffff;  // 24-bit TrueColor
            seen.insert(p);
            if (!palette.count(p) && !foreign++) first = row * w + col;
        }
    XDestroyImage(image);
    std::printf("%dx%d: %zu colours, %ld pixels outside the palette", w, h, seen.size(), foreign);
    if (foreign) std::printf(" (first at %ld, %ld)", first % w, first / w);
    std::printf("\n");
    return foreign ? 1 : seen.size() >= minColours ? 0 : 3;
}

int Close(Display* display, Window window) {
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    return XSendEvent(display, window, False, NoEventMask, &event) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 2 ? argv[1] : "";
    Display* display = XOpenDisplay(nullptr);
    if (!display || (command != "shot" && command != "close")) {
        std::fprintf(stderr, "usage (with a display): kvo2_xcheck shot WINDOW MIN [X Y W H] | close WINDOW\n");
        return 2;
    }
    // An unviewable window or a bad id: no image (status 2), not an exit.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    const std::string id = argv[2];
    const Window window = id == "root" ? DefaultRootWindow(display) : std::strtoul(argv[2], nullptr, 0);
    int status;
    if (command == "close") {
        status = Close(display, window);
    } else {
        auto arg = [&](int i) { return argc > i ? std::atoi(argv[i]) : 0; };
        status = Shot(display, window, arg(3), arg(4), arg(5), arg(6), arg(7));
    }
    XSync(display, False);
    XCloseDisplay(display);
    return status;
}
