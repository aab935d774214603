// The Julia renderer against known counts, sums and pixels of whole frames.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numeric>

#include "test_util.h"
#include "renderers.h"

namespace {

using testutil::Count;

std::vector<uint8_t> Render(int32_t maxIter, double cRe, double cIm, int32_t width = 640,
                            int32_t height = 480, uint8_t fill = 1) {
    std::vector<uint8_t> frame(static_cast<size_t>(width) * std::max(height, 0), fill);
    ukvo2::RenderJulia(frame.data(), width, height, maxIter, cRe, cIm);
    return frame;
}

TEST(RenderJulia, KnownFrames) {
    // white: bytes of 255; largest: the largest escape value; -1: not known.
    const struct { int32_t maxIter; double re, im; long white, largest; } cases[] = {
        {64, 0, 0, 88246, 52},       {64, -1, 0, 37772, 144},    {64, -0.75, 0.1, 32052, 252},
        {1, -1.9, 1.9, 307200 - 130562, 0}, {7, 0.3, -0.5, -1, -1}, {64, 1.99, -1.99, -1, -1},
        {33, -2, 2, -1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.maxIter << " " << c.re << " " << c.im);
        const auto f = Render(c.maxIter, c.re, c.im);
        // The start points outside |z|^2 > 2 escape at once, whatever c is,
        // and no other point gets 0 while MaxIter <= 64.
        EXPECT_EQ(Count(f, 0), 130562u);
        EXPECT_EQ(f.front() + f.back(), 0);
        int largest = 0;
        for (size_t k = 0; k < f.size(); ++k) {
            ASSERT_TRUE(f[k] == 255 || f[k] % 4 == 0) << k;     // every byte written
            ASSERT_EQ(f[k], f[f.size() - 1 - k]) << k;           // turned by 180 degrees
            if (f[k] != 255) largest = std::max<int>(largest, f[k]);
        }
        EXPECT_TRUE(c.white < 0 || Count(f, 255) == static_cast<size_t>(c.white)) << Count(f, 255);
        EXPECT_TRUE(c.largest < 0 || largest == c.largest) << largest;
    }
    const auto f = Render(64, -0.75, 0.1);
    EXPECT_EQ(std::accumulate(f.begin(), f.end(), uint64_t{0}), 13104652u);
    for (int at : {239 * 640 + 319, 239 * 640 + 320, 240 * 640 + 319, 240 * 640 + 320}) EXPECT_EQ(f[at], 136);
}

TEST(RenderJulia, IterationLimits) {
    for (int32_t maxIter : {0, -1, std::numeric_limits<int32_t>::min()})
        EXPECT_EQ(Count(Render(maxIter, -0.75, 0.1), 255), 307200u) << maxIter;
    // Above 64 the value wraps: an escape after 64 steps gives 0, after 65
    // gives 4. c = 0.26 lies just outside the cardioid: orbits escape slowly.
    const auto at64 = Render(64, 0.26, 0), at66 = Render(66, 0.26, 0);
    size_t wrapped[2] = {};
    for (size_t k = 0; k < at64.size(); ++k) {
        ASSERT_TRUE(at64[k] == 255 || at66[k] == at64[k]) << k << ": " << int(at66[k]);
        wrapped[0] += at64[k] == 255 && at66[k] == 0;
        wrapped[1] += at64[k] == 255 && at66[k] == 4;
    }
    EXPECT_GT(wrapped[0] * wrapped[1], 0u);
}

TEST(RenderJulia, FrameShapesAndInputsOutsideTheDesign) {
    // Too small to hold a pair of rows: nothing written.
    for (auto [w, h] : {std::pair{640, 1}, {640, 0}, {0, 480}, {-5, 480}, {5, -2}}) {
        std::vector<uint8_t> f(16, 9);
        ukvo2::RenderJulia(f.data(), w, h, 64, 0, 0);
        EXPECT_EQ(Count(f, 9), f.size()) << w << "x" << h;
    }
    // An odd height leaves the middle row as it was; an odd width leaves nothing.
    const auto odd = Render(64, -0.75, 0.1, 641, 481, 3);
    EXPECT_EQ(Count(odd, 3), 641u);
    EXPECT_EQ(Count({odd.begin() + 240 * 641, odd.begin() + 241 * 641}, 3), 641u);
    EXPECT_EQ(Count(Render(64, 0, 0, 1, 2, 3), 3), 0u);
    // Huge, infinite and NaN parameters and lopsided frames: every byte
    // written, nothing outside (the sanitizer build checks).
    const double inf = std::numeric_limits<double>::infinity();
    for (double v : {1e300, -1e300, inf, -inf, std::nan(""), 40.0, -2147483648.0 / 1024})
        EXPECT_EQ(Count(Render(300, v, -v, 64, 48), 1), 0u) << v;
    EXPECT_EQ(Count(Render(64, -0.75, 0.1, 4000, 2), 1), 0u);
    EXPECT_EQ(Count(Render(64, -0.75, 0.1, 1, 5000), 1), 0u);
}

TEST(RenderJulia, ParameterRoundsTiesToEven) {
    const struct { double given, same; } cases[] = {
        {0.5 / 1024, 0}, {1.5 / 1024, 2.0 / 1024}, {-0.5 / 1024, 0}, {-2.5 / 1024, -2.0 / 1024},
        {-0.75 + 0.49 / 1024, -0.75},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Render(64, c.given, 0.1), Render(64, c.same, 0.1)) << c.given;
        EXPECT_EQ(Render(64, -0.75, c.given), Render(64, -0.75, c.same)) << c.given;
    }
}

}  // namespace
