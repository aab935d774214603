// A screen saver over several monitors: each monitor shows the whole frame,
// at 4:3 between its own bars, wherever it lies on the desktop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "monitors.h"

namespace {

std::string Text(const gdi8::Box& b) {
    return std::to_string(b.x) + "," + std::to_string(b.y) + " " + std::to_string(b.width) + "x" +
           std::to_string(b.height);
}

std::string Text(const std::vector<gdi8::MonitorPicture>& parts) {
    std::string text;
    for (const auto& p : parts) text += Text(p.monitor) + " -> " + Text(p.picture) + "; ";
    return text;
}

TEST(Monitors, EachMonitorShowsTheFrameCentredInItself) {
    using Boxes = std::vector<gdi8::Box>;
    const struct {
        const char* what;
        Boxes monitors;
        gdi8::Box window;  // on the desktop
        const char* want;  // monitor -> picture, in the window's coordinates
    } cases[] = {
        {"one monitor, the window over it: as FitFrame",
         {{0, 0, 1920, 1080}}, {0, 0, 1920, 1080}, "0,0 1920x1080 -> 240,0 1440x1080; "},
        {"no monitor known: the window is one",
         {}, {0, 0, 2700, 2100}, "0,0 2700x2100 -> 0,37 2700x2025; "},
        {"side by side, the same size",
         {{0, 0, 1024, 768}, {1024, 0, 1024, 768}}, {0, 0, 2048, 768},
         "0,0 1024x768 -> 0,0 1024x768; 1024,0 1024x768 -> 1024,0 1024x768; "},
        {"side by side, different sizes, the smaller one lower",
         {{0, 0, 1920, 1080}, {1920, 280, 1024, 800}}, {0, 0, 2944, 1080},
         "0,0 1920x1080 -> 240,0 1440x1080; 1920,280 1024x800 -> 1920,296 1024x768; "},
        {"stacked",
         {{0, 0, 800, 600}, {0, 600, 1280, 1024}}, {0, 0, 1280, 1624},
         "0,0 800x600 -> 0,0 800x600; 0,600 1280x1024 -> 0,632 1280x960; "},
        {"left of the primary: negative coordinates",
         {{0, 0, 1024, 768}, {-800, 100, 800, 600}}, {-800, 0, 1824, 768},
         "800,0 1024x768 -> 800,0 1024x768; 0,100 800x600 -> 0,100 800x600; "},
        {"above the primary, a portrait one: bars above and below",
         {{0, 0, 1024, 768}, {100, -1024, 768, 1024}}, {0, -1024, 1024, 1792},
         "0,1024 1024x768 -> 0,1024 1024x768; 100,0 768x1024 -> 100,224 768x576; "},
        {"mirrored: one picture",
         {{0, 0, 1024, 768}, {0, 0, 1024, 768}}, {0, 0, 1024, 768}, "0,0 1024x768 -> 0,0 1024x768; "},
        {"a monitor partly outside the window is cut to it, one wholly outside left out",
         {{-100, 0, 740, 480}, {5000, 0, 640, 480}}, {0, 0, 640, 480},
         "0,0 640x480 -> 0,0 640x480; "},
        {"monitors that only touch the window are left out, one pixel inside is not",
         {{-640, 0, 640, 480}, {0, 480, 640, 480}, {0, 479, 640, 480}, {639, -479, 640, 480}},
         {0, 0, 640, 480}, "0,479 640x1 -> 319,479 1x1; 639,0 1x1 -> 639,0 1x0; "},
        {"near the ends of int: no overflow",
         {{2147483000, 0, 640, 480}}, {2147482000, 0, 2000, 480}, "1000,0 640x480 -> 1000,0 640x480; "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Text(gdi8::PicturesOnMonitors(c.monitors, c.window, 640, 480)), c.want) << c.what;
}

TEST(Monitors, SameLayoutComparesEveryBox) {
    const auto one = gdi8::PicturesOnMonitors({{0, 0, 1024, 768}}, {0, 0, 2048, 768}, 640, 480);
    const auto two = gdi8::PicturesOnMonitors({{0, 0, 1024, 768}, {1024, 0, 1024, 768}},
                                              {0, 0, 2048, 768}, 640, 480);
    auto moved = two;
    moved[1].picture.y += 1;
    EXPECT_TRUE(gdi8::SameLayout(two, two));
    EXPECT_FALSE(gdi8::SameLayout(one, two));
    EXPECT_FALSE(gdi8::SameLayout(two, moved));
}

TEST(Monitors, ZoomCentresOnTheMonitorHoldingMostOfTheWindow) {
    const gdi8::Box primary{0, 0, 1280, 1024}, right{1280, 0, 1920, 1200}, left{-1025, 100, 1025, 768};
    const std::vector<gdi8::Box> two{primary, right};
    const struct {
        const char* what;
        std::vector<gdi8::Box> monitors;
        int x, y, width, height;  // the window's place, then its new size
        const char* want;
    } cases[] = {
        {"one monitor: the screen's centre", {primary}, 5, 7, 1312, 1038, "-16,-7 1312x1038"},
        {"larger than the monitor", {primary}, 0, 0, 2624, 2076, "-672,-526 2624x2076"},
        {"on the second monitor", two, 1500, 300, 1312, 1038, "1584,81 1312x1038"},
        {"mostly on the second", two, 1000, 0, 656, 519, "1912,340 656x519"},
        {"mostly on the first", two, 700, 0, 656, 519, "312,252 656x519"},
        {"as much on each: the first", two, 952, 0, 656, 519, "312,252 656x519"},
        {"one pixel on the second alone", two, 3199, 1199, 656, 519, "1912,340 656x519"},
        {"on no monitor: the primary", two, -5000, 0, 656, 519, "312,252 656x519"},
        {"left of the primary, an odd difference cut toward zero", {primary, left}, -900, 200, 1312, 1038,
         "-1168,-35 1312x1038"},
        {"near the ends of int", {{2147482000, 0, 1600, 1200}}, 2147482500, 0, 640, 480, "2147482480,360 640x480"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Text(gdi8::CentredOnMonitor(c.monitors, primary, {c.x, c.y, 656, 519}, c.width, c.height)), c.want)
            << c.what;
}

}  // namespace
