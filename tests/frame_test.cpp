// The frame as a function of the clock: the path, the parameter, the blur
// centre, the sine and cosine, the three clock readings, and golden frames.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <random>

#include "test_util.h"
#include "wide.h"
#include "clock/clock.h"
#include "frame.h"
#include "path.h"
#include "renderers.h"
#include "steps_for_tests.h"

namespace {

using testutil::Wide;
using ukvo2::Path;

class Frame : public ::testing::Test {
  protected:
    void SetUp() override { ukvo2::BuildPath(); }
    void TearDown() override { ukvo2::SetClock(nullptr); }
};

TEST_F(Frame, PathIsTheTableThenItsMirrorImage) {
    for (int i = 0; i <= 150; ++i) {
        EXPECT_TRUE(Path[i].re == ukvo2::PathTable[i].re && Path[i].im == ukvo2::PathTable[i].im) << i;
        EXPECT_TRUE(Path[301 - i].re == Path[i].re && Path[301 - i].im == -Path[i].im) << i;
    }
}

TEST_F(Frame, ParameterAlongThePath) {
    const struct { uint32_t t; int segment, step; uint32_t tick; } cases[] = {
        {0, 0, 0, 0}, {24, 0, 0, 0} /* changes only with the tick */, {25, 0, 1, 1}, {512, 1, 0, 20},
        {149500, 299, 0, 5980}, {149999, 299, 19, 5999},  // the last segment, towards Path[300]
        {150000, 0, 0, 6000},  // and round again: Path[301] is never reached
        {4294967295u, 34, 11, 171798691},
    };
    for (const auto& c : cases) {
        // Computed independently, with the C library's sine.
        const auto& [a, b] = std::pair{Path[c.segment], Path[c.segment + 1]};
        const long double re = (c.step * b.re + (20 - c.step) * a.re) / 20.0L + std::sin(Wide(ukvo2::Extended(c.tick) * ukvo2::Ratio<ukvo2::Extended>(16, 1000))) * 0.03L;
        const long double im = (c.step * b.im + (20 - c.step) * a.im) / 20.0L + std::cos(Wide(ukvo2::Extended(c.tick) * ukvo2::Ratio<ukvo2::Extended>(13, 1000))) * 0.03L;
        const ukvo2::Complex got = ukvo2::JuliaParameter(c.t);
        EXPECT_NEAR(got.re, static_cast<double>(re), 5e-15) << c.t;
        EXPECT_NEAR(got.im, static_cast<double>(im), 5e-15) << c.t;
    }
    EXPECT_NEAR(ukvo2::JuliaParameter(0).re, 0.252431, 1e-16);
    EXPECT_NEAR(ukvo2::JuliaParameter(0).im, 0.025583, 1e-16);
}

TEST_F(Frame, BlurCentre) {
    EXPECT_EQ(ukvo2::BlurCentre(0, 0, 640, 480).cx, 320);
    EXPECT_EQ(ukvo2::BlurCentre(0, 0, 640, 480).cy, 384);
    // Within the middle 60% of each dimension; column and row from their own readings.
    std::mt19937 rng(3);
    for (int i = 0; i < 20000; ++i) {
        const auto c = ukvo2::BlurCentre(rng(), rng(), 640, 480);
        ASSERT_TRUE(c.cx >= 128 && c.cx <= 512 && c.cy >= 96 && c.cy <= 384) << c.cx << "," << c.cy;
    }
    const auto a = ukvo2::BlurCentre(1000, 0, 640, 480), b = ukvo2::BlurCentre(1000, 5000, 640, 480);
    EXPECT_TRUE(a.cx == b.cx && a.cy != b.cy);
}

TEST_F(Frame, SineAndCosineMatchTheLibraryToTheLastBits) {
    using ukvo2::Extended;
    std::mt19937_64 rng(7);
    for (int i = 0; i < 100000; ++i) {
        // The animation's own arguments: ticks, and milliseconds.
        const Extended x = i % 2 ? Extended(rng() % 171798692) * ukvo2::Ratio<Extended>(16, 1000)
                                 : Extended(static_cast<uint32_t>(rng())) * ukvo2::Ratio<Extended>(23, 10000);
        for (auto [mine, lib] : {std::pair{ukvo2::SinX(x), std::sin(Wide(x))},
                                 {ukvo2::CosX(x), std::cos(Wide(x))}}) {
            const long double ulp = std::ldexp(1.0L, std::ilogb(lib) - 63);
            ASSERT_LE(std::fabs(Wide(mine) - lib), 4 * ulp) << ukvo2::ToDouble(x);
        }
    }
    EXPECT_TRUE(ukvo2::SinX(0) == Extended(0) && ukvo2::CosX(0) == Extended(1));
    for (double beyond : {double(NAN), double(INFINITY), 0x1p31}) EXPECT_TRUE(ukvo2::IsNan(ukvo2::SinX(beyond)));
}

// Julia from the first reading, the centre's column from the second, its row from the third.
TEST_F(Frame, RenderFrameReadsTheClockThreeTimes) {
    const uint32_t readings[3] = {77777, 1234, 98765};
    int next = 0;
    ukvo2::SetClock([&] { return readings[next++ % 3]; });
    ukvo2::RenderFrame();
    EXPECT_EQ(next, 3);
    std::vector<uint8_t> want(ukvo2::FrameBytes);
    const ukvo2::Complex c = ukvo2::JuliaParameter(readings[0]);
    ukvo2::RenderJulia(want.data(), 640, 480, 64, c.re, c.im);
    const auto centre = ukvo2::BlurCentre(readings[1], readings[2], 640, 480);
    ukvo2::ZoomBlur(want.data(), 640, 480, centre.cx, centre.cy, 0.018);
    EXPECT_TRUE(std::equal(want.begin(), want.end(), ukvo2::Pixels));
}

// The hash of the frame drawn with all three readings at t, by RenderFrame and by
// RenderFrameAt. KVO_PRINT_GOLDEN=1 prints the current hashes in the file's format.
TEST_F(Frame, GoldenFrames) {
    std::ifstream file(KVO_GOLDEN_FRAMES);
    std::map<uint32_t, uint64_t> golden;
    uint32_t t;
    uint64_t hash;
    while (file >> t >> std::hex >> hash >> std::dec) golden[t] = hash;
    for (uint32_t when : {0u, 512u, 37500u, 77777u, 149999u, 150000u, 2147483648u, 4294967295u}) {
        ukvo2::SetClock([when] { return when; });
        ukvo2::RenderFrame();
        const uint64_t h = testutil::Fnv1a(ukvo2::Pixels, ukvo2::FrameBytes);
        if (std::getenv("KVO_PRINT_GOLDEN")) std::printf("%u %016llx\n", when, static_cast<unsigned long long>(h));
        EXPECT_TRUE(golden.count(when)) << "no golden frame for t = " << when << " in " << KVO_GOLDEN_FRAMES;
        EXPECT_EQ(h, golden[when]) << "t = " << when;
        ukvo2::RenderFrameAt(when);
        EXPECT_EQ(testutil::Fnv1a(ukvo2::Pixels, ukvo2::FrameBytes), h) << "t = " << when;
    }
}

}  // namespace
