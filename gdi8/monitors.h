// A screen saver's window may span several monitors (Windows' virtual
// desktop, an X root window): each monitor then shows the whole frame, at
// the frame's aspect, centred in that monitor between black bars, rather
// than one picture cut by the seams between monitors.
#pragma once

#include <vector>

#include "present.h"

namespace gdi8 {

// One monitor's part of a window: the monitor's rectangle and the frame's
// picture within it, both in the window's coordinates (from its top left).
struct MonitorPicture {
    Box monitor;
    Box picture;
};

// The monitors' parts of a window whose rectangle on the desktop is
// `window`. `monitors` are rectangles on the same desktop, whose coordinates
// may be negative (left of or above the primary monitor). Each monitor is cut
// to the window (one wholly outside it has no part), a monitor that repeats
// an earlier one's rectangle (a mirrored display) is left out, and the
// picture is FitFrame's box in what remains. With no monitor inside the
// window, the window is one monitor: a single picture, fitted to it.
std::vector<MonitorPicture> PicturesOnMonitors(const std::vector<Box>& monitors, const Box& window,
                                               int frameWidth, int frameHeight);

// Where a window of width x height goes (its box) to be centred on the
// monitor that holds the largest part of `window` (the first of equals), or
// on `primary` where none holds any of it: on the whole monitor, not its work
// area, and off its top left where the window is the larger. On one monitor
// of W x H at 0, 0: ((W - width) / 2, (H - height) / 2), rounded toward zero.
Box CentredOnMonitor(const std::vector<Box>& monitors, const Box& primary, const Box& window, int width,
                     int height);

// Whether two layouts put every monitor and picture in the same place.
bool SameLayout(const std::vector<MonitorPicture>& a, const std::vector<MonitorPicture>& b);

}  // namespace gdi8
