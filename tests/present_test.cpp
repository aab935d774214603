// What the presenters share: indices through a colour table, the stretch, the
// pace, and the frame's box in a screen or window (centred, between bars).
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "present.h"

namespace {

// Every count around the 8-pixel rounds, and a whole frame: each index
// becomes its table entry, and nothing past the count is written.
TEST(Present, ExpandFrameLooksUpEveryIndex) {
    std::mt19937 rng(99);
    uint32_t table[256];
    for (auto& e : table) e = static_cast<uint32_t>(rng());
    for (size_t count : {0, 1, 7, 8, 9, 15, 16, 17, 63, 640 * 480}) {
        std::vector<uint8_t> pixels(count + 1);
        for (auto& p : pixels) p = static_cast<uint8_t>(rng());
        std::vector<uint32_t> out(count + 1, 0xdeadbeef), want(count + 1, 0xdeadbeef);
        for (size_t k = 0; k < count; ++k) want[k] = table[pixels[k]];
        gdi8::ExpandFrame(pixels.data(), count, table, out.data());
        EXPECT_EQ(out, want) << count;
    }
}

// Each stretched pixel is the frame's pixel nearest its centre (a centre on
// a boundary takes the pixel after it): whole factors repeat every pixel, a
// shrink keeps every other one, and repeated rows are copies.
TEST(Present, StretchFrameTakesTheNearestPixel) {
    const uint8_t frame[] = {0, 1, 2, 3, 4, 5, 6, 7};  // 4 x 2
    uint32_t table[256];
    for (int i = 0; i < 256; ++i) table[i] = 0x100u * static_cast<uint32_t>(i) + 7;
    const struct {
        int width, height;
        std::vector<uint8_t> want;  // indices, row after row
    } cases[] = {
        {4, 2, {0, 1, 2, 3, 4, 5, 6, 7}},
        {8, 4, {0, 0, 1, 1, 2, 2, 3, 3, 0, 0, 1, 1, 2, 2, 3, 3,
                4, 4, 5, 5, 6, 6, 7, 7, 4, 4, 5, 5, 6, 6, 7, 7}},
        {2, 1, {5, 7}},
        {6, 3, {0, 1, 1, 2, 3, 3, 4, 5, 5, 6, 7, 7, 4, 5, 5, 6, 7, 7}},
        {1, 5, {2, 2, 6, 6, 6}},
    };
    for (const auto& c : cases) {
        // One pixel past each row and a row before the first: neither touched.
        const size_t stride = static_cast<size_t>(c.width) + 1;
        std::vector<uint32_t> out(stride * (c.height + 1), 0xdeadbeef), want(out);
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x) want[(y + 1) * stride + x] = table[c.want[y * c.width + x]];
        gdi8::StretchFrame(frame, 4, 2, table, out.data() + stride, c.width, c.height, stride);
        EXPECT_EQ(out, want) << c.width << " x " << c.height;
    }
}

// The pace: the display's rate, 60 where it is unknown; a frame in time
// waits for its turn, a late one goes at once and the pace starts from it.
TEST(Present, PaceKeepsTheDisplaysRateAndDropsLateFrames) {
    const struct {
        int hertz;
        double period;
    } rates[] = {{75, 1.0 / 75}, {0, 1.0 / 60}, {1, 1.0 / 60}, {-5, 1.0 / 60}, {1001, 1.0 / 60}, {2, 0.5}};
    for (const auto& r : rates) EXPECT_DOUBLE_EQ(gdi8::StartPace(r.hertz, 10).period, r.period) << r.hertz;
    gdi8::Pace pace = gdi8::StartPace(50, 100);        // every 0.02 s from 100
    EXPECT_NEAR(gdi8::PaceDelay(pace, 100.005), 0.015, 1e-9);  // in time: wait
    EXPECT_NEAR(gdi8::PaceDelay(pace, 100.03), 0.01, 1e-9);    // the pace holds
    EXPECT_EQ(gdi8::PaceDelay(pace, 100.2), 0);                // late: at once
    EXPECT_NEAR(gdi8::PaceDelay(pace, 100.205), 0.015, 1e-9);  // the pace from there
}

TEST(Present, FitFrameKeepsTheShapeBetweenBars) {
    const struct {
        int width, height;
        gdi8::Box box;
    } cases[] = {
        {640, 480, {0, 0, 640, 480}},          // the frame's own shape: no bars
        {2700, 2100, {0, 37, 2700, 2025}},     // taller: bars above and below
        {800, 400, {133, 0, 533, 400}},        // wider: bars left and right (533.3 cut)
        {152, 112, {1, 0, 149, 112}},          // a preview: 149.3 cut, 3 pixels of bars
        {1, 1, {0, 0, 1, 0}},                  // too low for a row: nothing but bars
        {65535, 65535, {0, 8192, 65535, 49151}},
    };
    for (const auto& c : cases) {
        const gdi8::Box b = gdi8::FitFrame(c.width, c.height, 640, 480);
        EXPECT_EQ(std::vector<int>({b.x, b.y, b.width, b.height}),
                  std::vector<int>({c.box.x, c.box.y, c.box.width, c.box.height}))
            << c.width << " x " << c.height;
    }
}

}  // namespace
