// The zoom blur: its step, the worked example, what it keeps and what it
// rewrites, and arguments outside its design.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "test_util.h"
#include "renderers.h"

namespace {

const double inf = std::numeric_limits<double>::infinity();

std::vector<uint8_t> Random(size_t n, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> v(n);
    for (auto& b : v) b = static_cast<uint8_t>(rng());
    return v;
}

TEST(ZoomBlur, StepTruncatesAndClamps) {
    const struct { double factor; uint32_t d; } cases[] = {
        {0.018, 64356}, {0.2, 52428},  // truncated: 0.2 gives 52428.8
        {0.5, 32768},   {1.0 - 1.0 / 65536, 1},
        {1.0, 1},       {2.0, 1},      {inf, 1},        // d of 0 or less
        {0.0, 65535},   {-1.0, 65535}, {-inf, 65535},   // d of 65536 or more
    };
    for (const auto& c : cases) {
        uint32_t d = 0;
        EXPECT_TRUE(ukvo2::ZoomStep(c.factor, d)) << c.factor;
        EXPECT_EQ(d, c.d) << c.factor;
    }
    uint32_t d = 7;
    EXPECT_FALSE(ukvo2::ZoomStep(std::nan(""), d));
    EXPECT_EQ(d, 7u);
}

TEST(ZoomBlur, WorkedExampleAndFlatAreas) {
    std::vector<uint8_t> f = {0, 40, 80, 120, 160, 200, 10, 50, 100, 150, 200, 250,
                              252, 128, 4, 8, 255, 64, 20, 30, 40, 50, 60, 70};
    ukvo2::ZoomBlur(f.data(), 6, 4, 2, 1, 0.018);
    EXPECT_EQ(f, (std::vector<uint8_t>{0, 40, 80, 119, 159, 198, 10, 50, 100, 149, 198, 247,
                                       252, 124, 5, 10, 244, 76, 20, 30, 40, 50, 60, 70}));
    for (uint8_t v : {0, 1, 128, 254, 255}) {
        std::vector<uint8_t> flat(640 * 480, v);
        ukvo2::ZoomBlur(flat.data(), 640, 480, 320, 384, 0.018);
        EXPECT_EQ(testutil::Count(flat, v), flat.size()) << int(v);
    }
}

TEST(ZoomBlur, WritesExactlyTheDesignedPixels) {
    // Column 0, the last row and the centre keep their values; every other pixel is a blend
    // in which its own value weighs 1/32: flipping it from 0 to 255 changes it by at least 7.
    const int w = 9, h = 7;
    for (auto [cx, cy] : {std::pair{4, 3}, {0, 0}, {0, 5}, {7, 0}, {7, 5}, {1, 1}}) {
        const auto input = Random(w * h, 11u + cx * 16 + cy);
        auto out = input;
        ukvo2::ZoomBlur(out.data(), w, h, cx, cy, 0.2);
        for (int i = 0; i < w * h; ++i) {
            const int x = i % w, y = i / w;
            SCOPED_TRACE(testing::Message() << "centre " << cx << "," << cy << " at " << x << "," << y);
            if (x == 0 || y == h - 1 || (x == cx && y == cy)) {
                EXPECT_EQ(out[i], input[i]);
                continue;
            }
            auto lo = input, hi = input;
            lo[i] = 0, hi[i] = 255;
            ukvo2::ZoomBlur(lo.data(), w, h, cx, cy, 0.2);
            ukvo2::ZoomBlur(hi.data(), w, h, cx, cy, 0.2);
            EXPECT_GE(hi[i] - lo[i], 7);
        }
    }
}

TEST(ZoomBlur, OutOfDesignArgumentsStayInBounds) {
    // Centres beyond the frame are clamped to its edge; the last row and
    // column are accepted as centres. The sanitizer build checks the bounds.
    const int w = 13, h = 11;
    const auto input = Random(w * h, 5);
    const int cases[][4] = {{-1, -1, 0, 0}, {w, h, w - 1, h - 1}, {INT32_MIN, 3, 0, 3},
                            {4, INT32_MAX, 4, h - 1}, {w - 1, h - 1, w - 1, h - 1}};
    for (const auto& c : cases) {
        auto a = input, b = input;
        ukvo2::ZoomBlur(a.data(), w, h, c[0], c[1], 0.018);
        ukvo2::ZoomBlur(b.data(), w, h, c[2], c[3], 0.018);
        EXPECT_EQ(a, b) << c[0] << "," << c[1];
    }
    // Factors that make the step 0, negative or 65536 and beyond are
    // clamped (the step's test checks how); NaN leaves the frame as it is.
    auto f = input;
    for (double factor : {1.0, 5.0, 0.0, -3.0, inf}) ukvo2::ZoomBlur(f.data(), w, h, 6, 5, factor);
    f = input;
    ukvo2::ZoomBlur(f.data(), w, h, 6, 5, std::nan(""));
    EXPECT_EQ(f, input);
    // Frames too small or too large for 16.16 positions are left alone;
    // one row, one column and the widest frame are drawn, in bounds.
    for (auto [fw, fh] : {std::pair{0, 5}, {5, 0}, {-3, 4}, {65537, 2}, {2, 65537}}) {
        f = Random(2 * 65537, 4);
        const auto before = f;
        ukvo2::ZoomBlur(f.data(), fw, fh, 1, 1, 0.018);
        EXPECT_EQ(f, before) << fw << " x " << fh;
    }
    for (auto [fw, fh] : {std::pair{1, 1}, {1, 9}, {9, 1}, {65536, 2}, {2, 65536}}) {
        f = Random(static_cast<size_t>(fw) * fh, 9);
        const auto before = f;
        ukvo2::ZoomBlur(f.data(), fw, fh, fw / 2, fh / 2, 0.018);
        ukvo2::ZoomBlur(f.data(), fw, fh, fw - 1, fh - 1, 0.9);
        EXPECT_TRUE(fw == 1 || fh == 1 || f != before) << fw << " x " << fh;
    }
}

}  // namespace
