// kvo2_xcheck: looks at and acts on the program's X11 window from outside.
//   shot WINDOW MIN [X Y W H]  in the window (or that rectangle of root) only palette colours
//       (else status 1), at least MIN (else 3); around a window's rectangle, black (else 1)
//   pictures MIN MX MY MW MH PX PY PW PH ...  root over monitors M with pictures P: as shot,
//       and every picture the same frame on a coarse grid of brightness (else 1)
//   ppm FILE MIN X Y W H  as shot, on a binary PPM screenshot (grim -t ppm)
//   close WINDOW  a window manager's WM_DELETE_WINDOW message to the window
//   window W H  makes a window of W x H, prints its id, keeps it until killed
#include <unistd.h>

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

struct Rect {
    int x, y, w, h;
    bool Holds(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};
// A picture's pixels, 0xRRGGBB at x, y.
using Pixels = std::function<unsigned long(int, int)>;

// Each view, a rectangle M (a monitor, a window) and the frame's P in it: in P only palette
// colours, at least `min` (else 3); the rest of M black, and every P the first's frame (else 1),
// as the mean brightness of each cell of a 16 x 12 grid over P tells.
constexpr int GridW = 16, GridH = 12;
int Check(const Pixels& pixel, int min, const std::vector<std::pair<Rect, Rect>>& views) {
    ukvo2::BuildPalette();
    std::set<unsigned long> palette;
    for (const auto& e : ukvo2::Palette) palette.insert(e.red << 16 | e.green << 8 | e.blue);
    int status = 0;
    std::vector<double> first;
    for (const auto& [m, p] : views) {
        std::set<unsigned long> seen;
        std::vector<double> grid(GridW * GridH, 0), count(GridW * GridH, 0);
        long foreign = 0, lit = 0;
        for (int y = m.y; y < m.y + m.h; ++y) {
            for (int x = m.x; x < m.x + m.w; ++x) {
                const unsigned long c = pixel(x, y);
                const bool frame = p.Holds(x, y);
                if (frame) {
                    seen.insert(c);
                    const size_t cell = static_cast<size_t>((y - p.y) * GridH / p.h * GridW + (x - p.x) * GridW / p.w);
                    grid[cell] += static_cast<double>((c >> 16 & 255) + (c >> 8 & 255) + (c & 255));
                    count[cell] += 1;
                }
                if (frame ? palette.count(c) : !c) continue;
                if (!(frame ? foreign++ : lit++))
                    std::printf("first %s at %d, %d: %06lx; ", frame ? "foreign pixel" : "bar pixel not black", x, y, c);
            }
        }
        for (size_t k = 0; k < grid.size(); ++k) grid[k] /= count[k] > 0 ? count[k] : 1;
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
    if (command == "ppm" && argc == 8) return CheckPpm(argv);
    Display* display = command == "ppm" ? nullptr : XOpenDisplay(nullptr);
    if (!display || (command != "shot" && command != "close" && command != "window" && command != "pictures")) {
        std::fprintf(stderr, "usage: kvo2_xcheck COMMAND ARGUMENTS... (the commands are listed in xcheck.cpp)\n");
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
        event.xclient = {ClientMessage, 0, False, display, window, XInternAtom(display, "WM_PROTOCOLS", False), 32, {}};
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        const bool sent = XSendEvent(display, window, False, NoEventMask, &event);
        XCloseDisplay(display);
        return sent ? 0 : 1;
    }
    // The rectangle of the window to take (a window whole; of the root window
    // for shot, the frame's rectangle alone) and the views: for shot, the
    // frame in that rectangle (by default all of it); for pictures, the
    // monitors and their frames.
    auto arg = [&](int i) { return argc > i ? std::atoi(argv[i]) : 0; };
    std::vector<std::pair<Rect, Rect>> views;
    Rect area = {0, 0, 0, 0};
    XWindowAttributes a{};
    if (XGetWindowAttributes(display, window, &a)) area = {0, 0, a.width, a.height};
    if (command == "pictures") {
        for (int i = 3; i + 8 <= argc; i += 8)
            views.push_back({{arg(i), arg(i + 1), arg(i + 2), arg(i + 3)}, {arg(i + 4), arg(i + 5), arg(i + 6), arg(i + 7)}});
        if (views.empty() || (argc - 3) % 8) {
            std::fprintf(stderr, "pictures: MIN, then eight numbers per monitor\n");
            return 2;
        }
    } else {
        const Rect frame = argc > 7 ? Rect{arg(4), arg(5), arg(6), arg(7)} : area;
        if (window == root) area = frame;
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
