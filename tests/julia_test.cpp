// The Julia renderer against known counts, sums and pixels of whole frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#include "test_util.h"
#include "ukvo2.h"

namespace {

using testutil::Count;

std::vector<uint8_t> Render(int32_t maxIter, double cRe, double cIm, int32_t width = 640,
                            int32_t height = 480, uint8_t fill = 77) {
    std::vector<uint8_t> frame(static_cast<size_t>(width) * static_cast<size_t>(std::max(height, 0)),
                               fill);
    ukvo2::RenderJulia(frame.data(), width, height, maxIter, cRe, cIm);
    return frame;
}

uint8_t LargestEscape(const std::vector<uint8_t>& f) {
    uint8_t m = 0;
    for (uint8_t b : f)
        if (b != 255) m = std::max(m, b);
    return m;
}

TEST(RenderJulia, OutsideTheDiscIsZeroForAnyParameterAndLimit) {
    const struct { int32_t maxIter; double re, im; } cases[] = {
        {1, 0, 0}, {1, -1.9, 1.9}, {7, 0.3, -0.5}, {64, -0.75, 0.1}, {64, 1.99, -1.99}, {33, -2, 2},
    };
    for (const auto& c : cases) {
        const auto f = Render(c.maxIter, c.re, c.im);
        // The start points outside |z|^2 > 2 escape at once, whatever c is;
        // no other point gets 0 while MaxIter <= 64.
        EXPECT_EQ(Count(f, 0), 130562u) << c.maxIter;
        EXPECT_EQ(f.front(), 0);
        EXPECT_EQ(f.back(), 0);
    }
}

TEST(RenderJulia, KnownFrames) {
    const struct {
        double re, im;
        size_t white;
        uint8_t largest;
    } cases[] = {
        {0, 0, 88246, 52},
        {-1, 0, 37772, 144},
        {-0.75, 0.1, 32052, 252},
    };
    for (const auto& c : cases) {
        const auto f = Render(64, c.re, c.im);
        EXPECT_EQ(Count(f, 255), c.white) << c.re << " " << c.im;
        EXPECT_EQ(LargestEscape(f), c.largest) << c.re << " " << c.im;
        for (uint8_t b : f) ASSERT_TRUE(b == 255 || b % 4 == 0);
    }
}

TEST(RenderJulia, SeahorseValleyDetail) {
    const auto f = Render(64, -0.75, 0.1);
    EXPECT_EQ(std::accumulate(f.begin(), f.end(), uint64_t{0}), 13104652u);
    for (int row : {239, 240})
        for (int col : {319, 320}) EXPECT_EQ(f[row * 640 + col], 136) << row << "," << col;
}

TEST(RenderJulia, EveryByteWrittenExactlyOnceAsTurnedPairs) {
    // Two fills that no escape value equals (1 and 2 are not multiples of 4):
    // any byte left unwritten shows up.
    for (uint8_t fill : {1, 2}) {
        const auto f = Render(64, -0.75, 0.1, 640, 480, fill);
        EXPECT_EQ(Count(f, fill), 0u);
    }
    const auto f = Render(64, -0.75, 0.1);
    for (size_t k = 0; k < f.size(); ++k) ASSERT_EQ(f[k], f[f.size() - 1 - k]) << k;
}

TEST(RenderJulia, IterationLimits) {
    for (int32_t maxIter : {0, -1, std::numeric_limits<int32_t>::min()}) {
        const auto f = Render(maxIter, -0.75, 0.1);
        EXPECT_EQ(Count(f, 255), f.size()) << maxIter;
    }
    const auto one = Render(1, -0.75, 0.1);
    EXPECT_EQ(Count(one, 0) + Count(one, 255), one.size());
    EXPECT_EQ(Count(one, 0), 130562u);
    // Above 64 the value wraps: the escapes after 64 steps give 0, after 65
    // give 4. c = 0.26 lies just outside the cardioid, so orbits escape slowly.
    const auto at64 = Render(64, 0.26, 0);
    const auto at66 = Render(66, 0.26, 0);
    size_t wrapped0 = 0, wrapped4 = 0;
    for (size_t k = 0; k < at64.size(); ++k) {
        if (at64[k] != 255) {
            ASSERT_EQ(at66[k], at64[k]) << k;
            continue;
        }
        wrapped0 += at66[k] == 0;
        wrapped4 += at66[k] == 4;
    }
    EXPECT_GT(wrapped0, 0u);
    EXPECT_GT(wrapped4, 0u);
}

TEST(RenderJulia, FrameShapes) {
    // Too small to hold a pair of rows: nothing written.
    for (auto [w, h] : {std::pair{640, 1}, {640, 0}, {0, 480}, {-5, 480}, {5, -2}}) {
        std::vector<uint8_t> f(16, 9);
        ukvo2::RenderJulia(f.data(), w, h, 64, 0, 0);
        EXPECT_EQ(Count(f, 9), f.size()) << w << "x" << h;
    }
    // An odd height leaves the middle row as it was; an odd width leaves nothing.
    const auto odd = Render(64, -0.75, 0.1, 641, 481, 3);
    for (int col = 0; col < 641; ++col) EXPECT_EQ(odd[240 * 641 + col], 3);
    EXPECT_EQ(Count(odd, 3), 641u);
    const auto tiny = Render(64, 0, 0, 1, 2, 3);
    EXPECT_EQ(Count(tiny, 3), 0u);
}

TEST(RenderJulia, ParameterRoundsTiesToEven) {
    // 0.5/1024 rounds to 0 and 1.5/1024 to 2: compare with the exact values.
    const struct { double given, same; } cases[] = {
        {0.5 / 1024, 0}, {1.5 / 1024, 2.0 / 1024}, {-0.5 / 1024, 0}, {-2.5 / 1024, -2.0 / 1024},
        {-0.75 + 0.49 / 1024, -0.75},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Render(64, c.given, 0.1), Render(64, c.same, 0.1)) << c.given;
        EXPECT_EQ(Render(64, -0.75, c.given), Render(64, -0.75, c.same)) << c.given;
    }
}

TEST(RenderJulia, OutOfDesignInputsStayDefined) {
    // Huge, infinite and NaN parameters and lopsided frames: no crash, no
    // out-of-bounds write (the sanitizer build checks), every byte written.
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double v : {1e300, -1e300, inf, -inf, nan, 40.0, -2147483648.0 / 1024}) {
        const auto f = Render(300, v, -v, 64, 48, 1);
        EXPECT_EQ(Count(f, 1), 0u) << v;
    }
    const auto wide = Render(64, -0.75, 0.1, 4000, 2, 1);
    EXPECT_EQ(Count(wide, 1), 0u);
    const auto tall = Render(64, -0.75, 0.1, 1, 5000, 1);
    EXPECT_EQ(Count(tall, 1), 0u);
}

}  // namespace
