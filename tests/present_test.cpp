// What the presenters share: the frame's indices through a colour table, and
// where the frame goes on a screen or in another program's window (the
// largest box of its shape, centred, the rest for black bars).
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

TEST(Present, ArgbPacksAlphaRedGreenBlue) {
    EXPECT_EQ(gdi8::Argb(0x12, 0x34, 0x56), 0xFF123456u);
    EXPECT_EQ(gdi8::Argb(0xAB, 0xCD, 0xEF, 0), 0x00ABCDEFu);
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
