// kvo2_xcheck: looks at and acts on the program's X11 window from outside.
//   kvo2_xcheck shot WINDOW MIN [X Y W H]   every pixel of the window (or of that
//       rectangle of the screen, for WINDOW root) must be a palette colour (else
//       status 1), and at least MIN different ones must show (else status 3).
//       A rectangle of a window is where the frame shows: every pixel around
//       it must be black (else status 1)
//   kvo2_xcheck close WINDOW   asks the window to close the way a window
//       manager does, with a WM_DELETE_WINDOW message
//   kvo2_xcheck window W H   makes a window of W x H for the program to draw
//       into, prints its id and keeps it until killed
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "ukvo2.h"
// After ukvo2.h: X.h defines macros such as Complex.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

int main(int argc, char** argv) {
    const std::string command = argc > 2 ? argv[1] : "";
    Display* display = XOpenDisplay(nullptr);
    if (!display || (command != "shot" && command != "close" && command != "window")) {
        std::fprintf(stderr, "usage (with a display): kvo2_xcheck shot WINDOW MIN [X Y W H] | close WINDOW | window W H\n");
        return 2;
    }
    if (command == "window" && argc == 4) {
        const Window made = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, std::atoi(argv[2]),
                                                std::atoi(argv[3]), 0, 0, 0xFFFFFF);
        XStoreName(display, made, "Host");
        XMapWindow(display, made);
        XSync(display, False);
        std::printf("0x%lx\n", made);
        std::fflush(stdout);
        for (;;) pause();
    }
    // An unviewable window or a bad id gives no image (status 2), not an exit.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    const Window window = std::string(argv[2]) == "root" ? DefaultRootWindow(display) : std::strtoul(argv[2], nullptr, 0);
    if (command == "close") {
        XEvent event = {};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        const bool sent = XSendEvent(display, window, False, NoEventMask, &event);
        XCloseDisplay(display);
        return sent ? 0 : 1;
    }
    auto arg = [&](int i) { return argc > i ? std::atoi(argv[i]) : 0; };
    const int x0 = arg(4), y0 = arg(5);
    int w = arg(6), h = arg(7);
    XWindowAttributes a{};
    if (!XGetWindowAttributes(display, window, &a)) a.width = 1;  // then no image
    if (!w) w = a.width, h = a.height;
    // The screen's rectangle alone; a window whole, its bars with it.
    const bool root = window == DefaultRootWindow(display);
    const int iw = root ? w : a.width, ih = root ? h : a.height;
    XImage* image = XGetImage(display, window, root ? x0 : 0, root ? y0 : 0, iw, ih, AllPlanes, ZPixmap);
    if (!image) {
        std::printf("no image of window 0x%lx\n", window);
        XCloseDisplay(display);
        return 2;
    }
    ukvo2::BuildPalette();
    std::set<unsigned long> palette, seen;
    for (const auto& e : ukvo2::Palette) palette.insert(e.red << 16 | e.green << 8 | e.blue);
    long foreign = 0, lit = 0;
    for (int y = 0; y < ih; ++y) {
        for (int x = 0; x < iw; ++x) {
            const unsigned long p = XGetPixel(image, x, y) & 0xffffff;  // 24-bit TrueColor
            if (!root && (x < x0 || x >= x0 + w || y < y0 || y >= y0 + h)) {
                if (p && !lit++) std::printf("first bar pixel not black at %d, %d: %06lx; ", x, y, p);
                continue;
            }
            seen.insert(p);
            if (!palette.count(p) && !foreign++) std::printf("first foreign pixel at %d, %d: %06lx; ", x, y, p);
        }
    }
    XDestroyImage(image);
    XCloseDisplay(display);
    std::printf("%dx%d: %zu colours, %ld pixels outside the palette", w, h, seen.size(), foreign);
    if (iw * ih > w * h) std::printf(", %ld pixels of the bars not black", lit);
    std::printf("\n");
    return foreign || lit ? 1 : seen.size() >= static_cast<size_t>(arg(3)) ? 0 : 3;
}
