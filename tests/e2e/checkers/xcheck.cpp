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

// The pixels (0xRRGGBB) of a w x h rectangle: each must be a palette colour,
// and at least `min` different ones must show. Prints what it saw; the exit
// status as shot's.
int CheckColours(int w, int h, int min, const std::function<unsigned long(int, int)>& pixel) {
    ukvo2::BuildPalette();
    std::set<unsigned long> palette, seen;
    for (const auto& e : ukvo2::Palette) palette.insert(e.red << 16 | e.green << 8 | e.blue);
    long foreign = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const unsigned long p = pixel(x, y);
            seen.insert(p);
            if (!palette.count(p) && !foreign++) std::printf("first foreign pixel at %d, %d: %06lx; ", x, y, p);
        }
    }
    std::printf("%dx%d: %zu colours, %ld pixels outside the palette\n", w, h, seen.size(), foreign);
    return foreign ? 1 : seen.size() >= static_cast<size_t>(min) ? 0 : 3;
}

// ppm FILE MIN X Y W H: status 2 when the file is not a P6 picture holding
// that rectangle.
int CheckPpm(char** argv) {
    std::ifstream file(argv[2], std::ios::binary);
    std::string magic;
    int width = 0, height = 0, maxval = 0;
    file >> magic >> width >> height >> maxval;
    file.get();  // the one white space before the samples
    const int x0 = std::atoi(argv[4]), y0 = std::atoi(argv[5]), w = std::atoi(argv[6]), h = std::atoi(argv[7]);
    std::vector<unsigned char> rgb(static_cast<size_t>(width > 0 ? width : 0) * (height > 0 ? height : 0) * 3);
    if (!file || magic != "P6" || maxval != 255 || !file.read(reinterpret_cast<char*>(rgb.data()), rgb.size()) ||
        w <= 0 || h <= 0 || x0 < 0 || y0 < 0 || x0 + w > width || y0 + h > height) {
        std::printf("%s: no P6 picture of 8 bits a sample holding %dx%d at %d, %d\n", argv[2], w, h, x0, y0);
        return 2;
    }
    return CheckColours(w, h, std::atoi(argv[3]), [&](int x, int y) {
        const unsigned char* p = &rgb[(static_cast<size_t>(y0 + y) * width + x0 + x) * 3];
        return static_cast<unsigned long>(p[0]) << 16 | p[1] << 8 | p[2];
    });
}

// A rectangle of the screen.
struct Rect {
    int x, y, w, h;
    bool Holds(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

// The mean brightness (red + green + blue) of each cell of a 16 x 12 grid
// over the picture: two pictures of one frame at different sizes agree
// closely; a picture cut elsewhere, or another part of it, does not.
constexpr int GridW = 16, GridH = 12;
std::vector<double> Grid(XImage* image, const Rect& all, const Rect& p) {
    std::vector<double> sum(GridW * GridH, 0), count(GridW * GridH, 0);
    for (int y = 0; y < p.h; ++y) {
        for (int x = 0; x < p.w; ++x) {
            const unsigned long c = XGetPixel(image, p.x - all.x + x, p.y - all.y + y);
            const size_t cell = static_cast<size_t>(y * GridH / p.h * GridW + x * GridW / p.w);
            sum[cell] += static_cast<double>((c >> 16 & 255) + (c >> 8 & 255) + (c & 255));
            count[cell] += 1;
        }
    }
    for (size_t k = 0; k < sum.size(); ++k) sum[k] /= count[k] > 0 ? count[k] : 1;
    return sum;
}

// pictures MIN M P [M P ...], each M and P four numbers: X Y W H.
int CheckPictures(Display* display, int argc, char** argv) {
    const int min = std::atoi(argv[2]);
    std::vector<std::pair<Rect, Rect>> parts;
    for (int i = 3; i + 8 <= argc; i += 8) {
        auto at = [&](int k) { return std::atoi(argv[i + k]); };
        parts.push_back({{at(0), at(1), at(2), at(3)}, {at(4), at(5), at(6), at(7)}});
    }
    if (parts.empty() || (argc - 3) % 8) {
        std::fprintf(stderr, "pictures: MIN, then eight numbers per monitor\n");
        return 2;
    }
    Rect all = parts[0].first;
    for (const auto& part : parts) {
        const Rect& m = part.first;
        const int right = std::max(all.x + all.w, m.x + m.w), bottom = std::max(all.y + all.h, m.y + m.h);
        all.x = std::min(all.x, m.x), all.y = std::min(all.y, m.y);
        all.w = right - all.x, all.h = bottom - all.y;
    }
    XImage* image = XGetImage(display, DefaultRootWindow(display), all.x, all.y, all.w, all.h, AllPlanes, ZPixmap);
    if (!image) {
        std::printf("no image of the screen at %d, %d, %dx%d\n", all.x, all.y, all.w, all.h);
        return 2;
    }
    ukvo2::BuildPalette();
    std::set<unsigned long> palette;
    for (const auto& e : ukvo2::Palette) palette.insert(e.red << 16 | e.green << 8 | e.blue);
    int status = 0;
    std::vector<double> first;
    for (const auto& [m, p] : parts) {
        std::set<unsigned long> seen;
        long foreign = 0, lit = 0;
        for (int y = m.y; y < m.y + m.h; ++y) {
            for (int x = m.x; x < m.x + m.w; ++x) {
                const unsigned long c = XGetPixel(image, x - all.x, y - all.y) & 0xffffff;
                if (!p.Holds(x, y)) {
                    lit += c != 0;
                    continue;
                }
                seen.insert(c);
                foreign += !palette.count(c);
            }
        }
        const std::vector<double> grid = Grid(image, all, p);
        double apart = 0;
        if (first.empty()) first = grid;
        for (size_t k = 0; k < grid.size(); ++k) apart += std::abs(grid[k] - first[k]) / grid.size();
        std::printf("monitor %dx%d%+d%+d, picture %dx%d%+d%+d: %zu colours, %ld outside the palette, "
                    "%ld bar pixels not black, %.1f from the first picture's grid\n",
                    m.w, m.h, m.x, m.y, p.w, p.h, p.x, p.y, seen.size(), foreign, lit, apart);
        // One frame: the grids' cells differ by a few levels of brightness
        // (of 765) where pictures of different sizes sample different pixels.
        if (foreign || lit || apart > 24) status = 1;
        else if (status == 0 && seen.size() < static_cast<size_t>(min)) status = 3;
    }
    XDestroyImage(image);
    return status;
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
    if (command == "pictures") {
        const int status = CheckPictures(display, argc, argv);
        XCloseDisplay(display);
        return status;
    }
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
