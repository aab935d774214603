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
//   kvo2_xcheck pictures MIN MX MY MW MH PX PY PW PH ...   the root window over
//       several monitors, each given by its rectangle M and its picture's P:
//       in each picture only palette colours, at least MIN of them (else
//       status 3); every other pixel of the monitor black; and every picture
//       the same frame, shrunk to a coarse grid of brightness (else status 1)
//   kvo2_xcheck ppm FILE MIN X Y W H   as shot, for that rectangle of a
//       screenshot in binary PPM (P6, 8 bits a sample), without a display:
//       a Wayland compositor's screen (grim -t ppm)
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "palette.h"
// After ukvo2.h: X.h defines macros such as Complex.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

// A rectangle of a picture.
struct Rect {
    int x, y, w, h;
    bool Holds(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};
// A picture's pixels, 0xRRGGBB at x, y.
using Pixels = std::function<unsigned long(int, int)>;

// The mean brightness (red + green + blue) of each cell of a 16 x 12 grid
// over rectangle p: two pictures of one frame at different sizes agree
// closely; a picture cut elsewhere, or another part of it, does not.
constexpr int GridW = 16, GridH = 12;
std::vector<double> Grid(const Pixels& pixel, const Rect& p) {
    std::vector<double> sum(GridW * GridH, 0), count(GridW * GridH, 0);
    for (int y = 0; y < p.h; ++y) {
        for (int x = 0; x < p.w; ++x) {
            const unsigned long c = pixel(p.x + x, p.y + y);
            const size_t cell = static_cast<size_t>(y * GridH / p.h * GridW + x * GridW / p.w);
            sum[cell] += static_cast<double>((c >> 16 & 255) + (c >> 8 & 255) + (c & 255));
            count[cell] += 1;
        }
    }
    for (size_t k = 0; k < sum.size(); ++k) sum[k] /= count[k] > 0 ? count[k] : 1;
    return sum;
}

// Each view, a rectangle M (a monitor, a window) and the frame's rectangle P
// in it: in P only palette colours, at least `min` of them (else status 3);
// the rest of M black, and every P the frame of the first, on a coarse grid
// (else status 1). Prints a line a view.
int Check(const Pixels& pixel, int min, const std::vector<std::pair<Rect, Rect>>& views) {
    ukvo2::BuildPalette();
    std::set<unsigned long> palette;
    for (const auto& e : ukvo2::Palette) palette.insert(e.red << 16 | e.green << 8 | e.blue);
    int status = 0;
    std::vector<double> first;
    for (const auto& [m, p] : views) {
        std::set<unsigned long> seen;
        long foreign = 0, lit = 0;
        for (int y = m.y; y < m.y + m.h; ++y) {
            for (int x = m.x; x < m.x + m.w; ++x) {
                const unsigned long c = pixel(x, y);
                const bool frame = p.Holds(x, y);
                if (frame) seen.insert(c);
                if (frame ? palette.count(c) : !c) continue;
                if (!(frame ? foreign++ : lit++))
                    std::printf("first %s at %d, %d: %06lx; ", frame ? "foreign pixel" : "bar pixel not black", x, y, c);
            }
        }
        const std::vector<double> grid = Grid(pixel, p);
        double apart = 0;
        if (first.empty()) first = grid;
        for (size_t k = 0; k < grid.size(); ++k) apart += std::abs(grid[k] - first[k]) / grid.size();
        std::printf("%dx%d%+d%+d, frame %dx%d%+d%+d: %zu colours, %ld pixels outside the palette, "
                    "%ld bar pixels not black, %.1f from the first frame's grid\n",
                    m.w, m.h, m.x, m.y, p.w, p.h, p.x, p.y, seen.size(), foreign, lit, apart);
        // One frame: the grids' cells differ by a few levels of brightness
        // (of 765) where pictures of different sizes sample different pixels.
        if (foreign || lit || apart > 24) status = 1;
        else if (status == 0 && seen.size() < static_cast<size_t>(min)) status = 3;
    }
    return status;
}

// ppm FILE MIN X Y W H: status 2 when the file is not a P6 picture holding
// that rectangle.
int CheckPpm(char** argv) {
    std::ifstream file(argv[2], std::ios::binary);
    std::string magic;
    int width = 0, height = 0, maxval = 0;
    file >> magic >> width >> height >> maxval;
    file.get();  // the one white space before the samples
    const Rect r = {std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6]), std::atoi(argv[7])};
    std::vector<unsigned char> rgb(static_cast<size_t>(width > 0 ? width : 0) * (height > 0 ? height : 0) * 3);
    if (!file || magic != "P6" || maxval != 255 || !file.read(reinterpret_cast<char*>(rgb.data()), rgb.size()) ||
        r.w <= 0 || r.h <= 0 || r.x < 0 || r.y < 0 || r.x + r.w > width || r.y + r.h > height) {
        std::printf("%s: no P6 picture of 8 bits a sample holding %dx%d at %d, %d\n", argv[2], r.w, r.h, r.x, r.y);
        return 2;
    }
    return Check([&](int x, int y) {
        const unsigned char* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
        return static_cast<unsigned long>(p[0]) << 16 | p[1] << 8 | p[2];
    }, std::atoi(argv[3]), {{r, r}});
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 2 ? argv[1] : "";
    if (command == "ppm") {
        if (argc == 8) return CheckPpm(argv);
        std::fprintf(stderr, "usage: kvo2_xcheck ppm FILE MIN X Y W H\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display || (command != "shot" && command != "close" && command != "window" && command != "pictures")) {
        std::fprintf(stderr, "usage (with a display): kvo2_xcheck shot WINDOW MIN [X Y W H] | close WINDOW | window W H\n"
                             "       | pictures MIN MX MY MW MH PX PY PW PH ...\n"
                             "       (without): kvo2_xcheck ppm FILE MIN X Y W H\n");
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
    const Window root = DefaultRootWindow(display);
    const Window window = command == "pictures" || std::string(argv[2]) == "root" ? root
                                                                                 : std::strtoul(argv[2], nullptr, 0);
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
    // The views, and the rectangle of the window to take: for shot, a window
    // whole, the frame in its rectangle (by default all of it); of the root
    // window, that rectangle alone. For pictures, the monitors and their frames.
    auto arg = [&](int i) { return argc > i ? std::atoi(argv[i]) : 0; };
    std::vector<std::pair<Rect, Rect>> views;
    Rect area = {0, 0, 0, 0};
    XWindowAttributes a{};
    if (command == "pictures") {
        for (int i = 3; i + 8 <= argc; i += 8)
            views.push_back({{arg(i), arg(i + 1), arg(i + 2), arg(i + 3)}, {arg(i + 4), arg(i + 5), arg(i + 6), arg(i + 7)}});
        if (views.empty() || (argc - 3) % 8) {
            std::fprintf(stderr, "pictures: MIN, then eight numbers per monitor\n");
            return 2;
        }
        area = views[0].first;
        for (const auto& [m, p] : views) {
            const int right = std::max(area.x + area.w, m.x + m.w), bottom = std::max(area.y + area.h, m.y + m.h);
            area.x = std::min(area.x, m.x), area.y = std::min(area.y, m.y);
            area.w = right - area.x, area.h = bottom - area.y;
        }
    } else if (XGetWindowAttributes(display, window, &a)) {
        const Rect frame = argc > 7 ? Rect{arg(4), arg(5), arg(6), arg(7)} : Rect{0, 0, a.width, a.height};
        area = window == root ? frame : Rect{0, 0, a.width, a.height};
        views.push_back({area, frame});
    }
    XImage* image = area.w > 0 ? XGetImage(display, window, area.x, area.y, area.w, area.h, AllPlanes, ZPixmap) : nullptr;
    if (!image) {
        std::printf("no image of window 0x%lx at %d, %d, %dx%d\n", window, area.x, area.y, area.w, area.h);
        XCloseDisplay(display);
        return 2;
    }
    // 24-bit TrueColor.
    const int status = Check([&](int x, int y) { return XGetPixel(image, x - area.x, y - area.y) & 0xffffff; },
                             arg(command == "pictures" ? 2 : 3), views);
    XDestroyImage(image);
    XCloseDisplay(display);
    return status;
}
