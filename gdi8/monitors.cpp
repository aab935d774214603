// PicturesOnMonitors: one fitted picture per monitor.
#include "monitors.h"

#include <algorithm>

namespace gdi8 {

namespace {

bool SameBox(const Box& a, const Box& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

// The part of `monitor` inside `window`, from the window's top left; with
// no width or height (or a negative one) where they do not meet. In 64
// bits: a rectangle near the ends of int may not overflow.
Box Inside(const Box& monitor, const Box& window) {
    const long long left = std::max<long long>(monitor.x, window.x);
    const long long top = std::max<long long>(monitor.y, window.y);
    const long long right = std::min<long long>(static_cast<long long>(monitor.x) + monitor.width,
                                                static_cast<long long>(window.x) + window.width);
    const long long bottom = std::min<long long>(static_cast<long long>(monitor.y) + monitor.height,
                                                 static_cast<long long>(window.y) + window.height);
    return Box{static_cast<int>(left - window.x), static_cast<int>(top - window.y),
               static_cast<int>(right - left), static_cast<int>(bottom - top)};
}

MonitorPicture Fitted(const Box& monitor, int frameWidth, int frameHeight) {
    Box picture = FitFrame(monitor.width, monitor.height, frameWidth, frameHeight);
    picture.x += monitor.x;
    picture.y += monitor.y;
    return MonitorPicture{monitor, picture};
}

}  // namespace

std::vector<MonitorPicture> PicturesOnMonitors(const std::vector<Box>& monitors, const Box& window,
                                               int frameWidth, int frameHeight) {
    std::vector<MonitorPicture> parts;
    for (const Box& monitor : monitors) {
        const Box part = Inside(monitor, window);
        if (part.width <= 0 || part.height <= 0) continue;
        const bool repeated = std::any_of(parts.begin(), parts.end(), [&](const MonitorPicture& p) {
            return SameBox(p.monitor, part);
        });
        if (!repeated) parts.push_back(Fitted(part, frameWidth, frameHeight));
    }
    if (parts.empty())
        parts.push_back(Fitted(Box{0, 0, window.width, window.height}, frameWidth, frameHeight));
    return parts;
}

Box CentredOnMonitor(const std::vector<Box>& monitors, const Box& primary, const Box& window, int width,
                     int height) {
    const Box* best = &primary;
    long long most = 0;
    for (const Box& monitor : monitors) {
        const Box part = Inside(monitor, window);
        const long long area = part.width > 0 && part.height > 0 ? 1LL * part.width * part.height : 0;
        if (area > most) {
            most = area;
            best = &monitor;
        }
    }
    const long long x = best->x + (1LL * best->width - width) / 2;
    const long long y = best->y + (1LL * best->height - height) / 2;
    return Box{static_cast<int>(x), static_cast<int>(y), width, height};
}

bool SameLayout(const std::vector<MonitorPicture>& a, const std::vector<MonitorPicture>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const MonitorPicture& p, const MonitorPicture& q) {
                          return SameBox(p.monitor, q.monitor) && SameBox(p.picture, q.picture);
                      });
}

}  // namespace gdi8
