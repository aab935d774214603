// Where the frame goes on a screen or in another program's window: the
// largest box of its shape, centred, the rest for black bars.
#include <gtest/gtest.h>

#include <vector>

#include "present.h"

namespace {

TEST(Present, FitFrameKeepsTheShapeBetweenBars) {
    const struct {
        int width, height;
        ukvo2::Box box;
    } cases[] = {
        {640, 480, {0, 0, 640, 480}},          // the frame's own shape: no bars
        {2700, 2100, {0, 37, 2700, 2025}},     // taller: bars above and below
        {800, 400, {133, 0, 533, 400}},        // wider: bars left and right (533.3 cut)
        {152, 112, {1, 0, 149, 112}},          // a preview: 149.3 cut, 3 pixels of bars
        {1, 1, {0, 0, 1, 0}},                  // too low for a row: nothing but bars
        {65535, 65535, {0, 8192, 65535, 49151}},
    };
    for (const auto& c : cases) {
        const ukvo2::Box b = ukvo2::FitFrame(c.width, c.height, 640, 480);
        EXPECT_EQ(std::vector<int>({b.x, b.y, b.width, b.height}),
                  std::vector<int>({c.box.x, c.box.y, c.box.width, c.box.height}))
            << c.width << " x " << c.height;
    }
}

}  // namespace
