// The frame as a function of the clock: the path, the parameter, the blur
// centre, the clock seam, the sine and cosine, and golden frames.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <vector>

#include "test_util.h"
#include "ukvo2.h"

namespace {

using ukvo2::Complex;
using ukvo2::Path;

class Frame : public ::testing::Test {
  protected:
    void SetUp() override { ukvo2::BuildPath(); }
    void TearDown() override { ukvo2::SetClock(nullptr); }
};

TEST_F(Frame, PathIsTheTableThenItsMirrorImage) {
    EXPECT_EQ(Path[0].re, 0.252431);
    EXPECT_EQ(Path[0].im, -0.004417);
    EXPECT_EQ(Path[150].re, -1.796875);
    EXPECT_EQ(Path[151].re, -1.796875);
    EXPECT_EQ(Path[151].im, 0.007362);
    EXPECT_EQ(Path[300].re, 0.290799);  // the conjugate of the table's second point
    EXPECT_EQ(Path[300].im, 0.013252);
    EXPECT_EQ(Path[301].im, 0.004417);
    for (int i = 0; i <= 150; ++i) {
        EXPECT_EQ(Path[301 - i].re, Path[i].re);
        EXPECT_EQ(Path[301 - i].im, -Path[i].im);
    }
}

// The parameter computed independently, with the C library's sine.
Complex Expected(int s, int f, uint32_t k) {
    const long double re = (f * Path[s + 1].re + (20 - f) * Path[s].re) / 20.0L;
    const long double im = (f * Path[s + 1].im + (20 - f) * Path[s].im) / 20.0L;
    return {static_cast<double>(re + std::sin(k * 0.016L) * 0.03L),
            static_cast<double>(im + std::cos(k * 0.013L) * 0.03L)};
}

TEST_F(Frame, ParameterAlongThePath) {
    const struct { uint32_t t; int segment, step; uint32_t tick; } cases[] = {
        {0, 0, 0, 0},
        {24, 0, 0, 0},            // the parameter changes only with the tick
        {25, 0, 1, 1},
        {512, 1, 0, 20},
        {149500, 299, 0, 5980},   // the last segment, towards Path[300]
        {149999, 299, 19, 5999},
        {150000, 0, 0, 6000},     // and round again: Path[301] is never reached
        {4294967295u, 34, 11, 171798691},
    };
    for (const auto& c : cases) {
        const Complex got = ukvo2::JuliaParameter(c.t);
        const Complex want = Expected(c.segment, c.step, c.tick);
        // Where long double is wider than the x87's (WebAssembly), the
        // reference's 0.016 and 0.013 round differently: at the largest tick
        // that moves the wobble by up to 5e-15.
        EXPECT_NEAR(got.re, want.re, 5e-15) << c.t;
        EXPECT_NEAR(got.im, want.im, 5e-15) << c.t;
    }
    const Complex zero = ukvo2::JuliaParameter(0);
    EXPECT_NEAR(zero.re, 0.252431, 1e-16);
    EXPECT_NEAR(zero.im, 0.025583, 1e-16);
    // The clock's wrap starts the path again from its first point.
    EXPECT_EQ(ukvo2::JuliaParameter(4294967295u + 1u).re, zero.re);
}

TEST_F(Frame, BlurCentre) {
    EXPECT_EQ(ukvo2::BlurCentre(0, 0, 640, 480).cx, 320);
    EXPECT_EQ(ukvo2::BlurCentre(0, 0, 640, 480).cy, 384);
    // It stays within the middle 60% of each dimension.
    std::mt19937 rng(3);
    for (int i = 0; i < 100000; ++i) {
        const auto c = ukvo2::BlurCentre(rng(), rng(), 640, 480);
        ASSERT_GE(c.cx, 128);
        ASSERT_LE(c.cx, 512);
        ASSERT_GE(c.cy, 96);
        ASSERT_LE(c.cy, 384);
    }
    // Column and row come from their own readings.
    const auto a = ukvo2::BlurCentre(1000, 0, 640, 480);
    const auto b = ukvo2::BlurCentre(1000, 5000, 640, 480);
    EXPECT_EQ(a.cx, b.cx);
    EXPECT_NE(a.cy, b.cy);
}

// An extended value as this machine's long double, which is at least as
// wide: the sum of its two nearest doubles.
long double Wide(ukvo2::Extended x) {
    const double hi = ukvo2::ToDouble(x);
    return static_cast<long double>(hi) + ukvo2::ToDouble(x - ukvo2::Extended(hi));
}

TEST_F(Frame, SineAndCosineMatchTheLibraryToTheLastBits) {
    using ukvo2::Extended;
    std::mt19937_64 rng(7);
    for (int i = 0; i < 200000; ++i) {
        // The animation's own arguments: ticks, and milliseconds.
        const Extended x = i % 2 ? Extended(rng() % 171798692) * ukvo2::Ratio<Extended>(16, 1000)
                                 : Extended(static_cast<uint32_t>(rng())) * ukvo2::Ratio<Extended>(23, 10000);
        for (auto [mine, lib] : {std::pair{ukvo2::SinX(x), std::sin(Wide(x))},
                                 {ukvo2::CosX(x), std::cos(Wide(x))}}) {
            const long double ulp = std::ldexp(1.0L, std::ilogb(lib) - 63);
            ASSERT_LE(std::fabs(Wide(mine) - lib), 4 * ulp) << ukvo2::ToDouble(x);
        }
    }
    EXPECT_TRUE(ukvo2::SinX(0) == Extended(0));
    EXPECT_TRUE(ukvo2::CosX(0) == Extended(1));
    for (double beyond : {double(NAN), double(INFINITY), 0x1p31}) EXPECT_TRUE(ukvo2::IsNan(ukvo2::SinX(beyond)));
}

TEST_F(Frame, RenderFrameReadsTheClockThreeTimes) {
    // Julia from the first reading, the centre's column from the second, its
    // row from the third.
    const uint32_t readings[3] = {77777, 1234, 98765};
    int next = 0;
    ukvo2::SetClock([&] { return readings[next++ % 3]; });
    ukvo2::RenderFrame();
    EXPECT_EQ(next, 3);

    std::vector<uint8_t> want(ukvo2::FrameBytes);
    const Complex c = ukvo2::JuliaParameter(readings[0]);
    ukvo2::RenderJulia(want.data(), 640, 480, 64, c.re, c.im);
    const auto centre = ukvo2::BlurCentre(readings[1], readings[2], 640, 480);
    ukvo2::ZoomBlur(want.data(), 640, 480, centre.cx, centre.cy, 0.018);
    EXPECT_EQ(std::vector<uint8_t>(ukvo2::Pixels, ukvo2::Pixels + ukvo2::FrameBytes), want);
}

// Golden frames: the hash of the frame drawn with all three readings at t.
// KVO_PRINT_GOLDEN=1 prints the current hashes in the file's format.
TEST_F(Frame, GoldenFrames) {
    std::ifstream file(KVO_GOLDEN_FRAMES);
    ASSERT_TRUE(file) << "missing golden file " << KVO_GOLDEN_FRAMES;
    std::map<uint32_t, uint64_t> golden;
    uint32_t t;
    uint64_t hash;
    while (file >> t >> std::hex >> hash >> std::dec) golden[t] = hash;
    const uint32_t times[] = {0, 512, 37500, 77777, 149999, 150000, 2147483648u, 4294967295u};
    const bool print = std::getenv("KVO_PRINT_GOLDEN") != nullptr;
    for (uint32_t when : times) {
        ukvo2::SetClock([when] { return when; });
        ukvo2::RenderFrame();
        const uint64_t h = testutil::Fnv1a(ukvo2::Pixels, ukvo2::FrameBytes);
        ukvo2::RenderFrameAt(when);
        EXPECT_EQ(testutil::Fnv1a(ukvo2::Pixels, ukvo2::FrameBytes), h) << "t = " << when;
        if (print) std::printf("%u %016llx\n", when, static_cast<unsigned long long>(h));
        if (!golden.count(when)) {
            ADD_FAILURE() << "no golden frame for t = " << when;
            continue;
        }
        EXPECT_EQ(golden[when], h) << "t = " << when;
    }
}

}  // namespace
