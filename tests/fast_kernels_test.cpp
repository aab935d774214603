// Every fast kernel set against the plain reference, on the same inputs:
// thousands of them, drawn from a fixed seed and biased to the edges.
// Identical bytes every time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "kernels.h"
#include "numeric.h"
#include "present.h"
#include "test_util.h"
#include "ukvo2.h"

namespace {

using namespace ukvo2;

std::vector<const KernelSet*> FastSets() {
    size_t count;
    const KernelSet* sets = KernelSets(count);
    std::vector<const KernelSet*> fast;
    for (size_t k = 1; k < count; ++k) fast.push_back(&sets[k]);
    return fast;
}

// One of `values` or, with the rest of the odds, a number in [lo, hi].
int32_t Pick(std::mt19937& rng, std::initializer_list<int32_t> values, int32_t lo, int32_t hi) {
    if (rng() % 2) return values.begin()[rng() % values.size()];
    return static_cast<int32_t>(lo + static_cast<int64_t>(rng() % (static_cast<uint64_t>(hi) - lo + 1)));
}

std::vector<uint8_t> RandomFrame(std::mt19937& rng, size_t size) {
    std::vector<uint8_t> f(size);
    const uint32_t kind = rng() % 4;
    for (auto& b : f) b = kind == 0 ? 255 : kind == 1 ? static_cast<uint8_t>(rng() % 3) : static_cast<uint8_t>(rng());
    return f;
}

// Parameters along the animation path, in fixed point.
std::vector<std::pair<int32_t, int32_t>> PathParameters() {
    BuildPath();
    std::vector<std::pair<int32_t, int32_t>> c;
    for (uint32_t t = 0; t < 150000; t += 500) {
        const Complex p = JuliaParameter(t);
        c.emplace_back(RoundToInt32(p.re * 1024.0), RoundToInt32(p.im * 1024.0));
    }
    return c;
}

TEST(FastKernels, JuliaMatchesPlain) {
    std::mt19937 rng(20241);
    const auto path = PathParameters();
    const struct { int32_t w, h; } sizes[] = {{1, 2}, {2, 2}, {3, 3}, {7, 5}, {1, 9}, {33, 2},
                                              {640, 480}, {17, 64}, {100, 3}, {5, 130}};
    for (int trial = 0; trial < 3000; ++trial) {
        int32_t w, h;
        if (trial % 5 == 0) {
            w = sizes[rng() % 10].w;
            h = sizes[rng() % 10].h;
        } else {
            w = 1 + rng() % 48;
            h = 2 + rng() % 48;
        }
        // Whole frames are slow in the plain kernel: a few.
        if (w * h > 10000 && trial % 40 != 0) w = 64, h = 48;
        int32_t cre, cim;
        switch (rng() % 4) {
            case 0: std::tie(cre, cim) = path[rng() % path.size()]; break;
            case 1:  // in design, to the edges of 16-bit exactness and beyond
                cre = Pick(rng, {-2048, -2047, 2046, 2047, 2048, 0}, -2100, 2100);
                cim = Pick(rng, {-2048, -2047, -2046, 2046, 2047, 0}, -2100, 2100);
                break;
            case 2:  // out of design: wrapping arithmetic
                cre = Pick(rng, {INT32_MIN, INT32_MAX, -40960, 40960}, INT32_MIN, INT32_MAX);
                cim = Pick(rng, {INT32_MIN, INT32_MAX, -40960, 40960}, INT32_MIN, INT32_MAX);
                break;
            default:
                cre = -1024 + static_cast<int32_t>(rng() % 1400);
                cim = -700 + static_cast<int32_t>(rng() % 1400);
        }
        const int32_t maxIter = Pick(rng, {-1, 0, 1, 2, 63, 64, 65, 128, 300}, -1, 300);
        const auto start = RandomFrame(rng, static_cast<size_t>(w) * h);
        auto expected = start;
        plain::RenderJulia(expected.data(), w, h, maxIter, cre, cim);
        for (const KernelSet* set : FastSets()) {
            auto got = start;
            set->julia(got.data(), w, h, maxIter, cre, cim);
            ASSERT_EQ(got, expected) << set->name << " " << w << "x" << h << " maxIter " << maxIter
                                     << " c " << cre << "," << cim;
        }
    }
}

TEST(FastKernels, BlurMatchesPlain) {
    std::mt19937 rng(7);
    for (int trial = 0; trial < 3000; ++trial) {
        int32_t w = 1 + rng() % (trial % 4 == 0 ? 200 : 40);
        int32_t h = 1 + rng() % (trial % 4 == 0 ? 150 : 40);
        if (trial % 100 == 0) w = 640, h = 480;
        // Centres at the edges, the last row and column included.
        const int32_t cx = std::max(0, std::min(Pick(rng, {0, 1, w - 1, w - 2}, 0, w - 1), w - 1));
        const int32_t cy = std::max(0, std::min(Pick(rng, {0, 1, h - 1, h - 2}, 0, h - 1), h - 1));
        // Steps whose sample columns stall once in 55 columns (the program's),
        // once in 26 or 14 (chunks of 32 or 16 columns then hold two stalls
        // now and then), and more often.
        const uint32_t d =
            static_cast<uint32_t>(Pick(rng, {64356, 52428, 1, 65535, 65000, 30000, 63000, 61000}, 1, 65535));
        const auto start = RandomFrame(rng, static_cast<size_t>(w) * h);
        auto expected = start;
        plain::ZoomBlur(expected.data(), w, h, cx, cy, d);
        for (const KernelSet* set : FastSets()) {
            auto got = start;
            set->blur(got.data(), w, h, cx, cy, d);
            ASSERT_EQ(got, expected) << set->name << " " << w << "x" << h << " centre " << cx << ","
                                     << cy << " d " << d;
        }
    }
}

TEST(FastKernels, ExpandMatchesPlain) {
    std::mt19937 rng(99);
    uint32_t table[256];
    for (auto& e : table) e = static_cast<uint32_t>(rng());
    for (size_t count : {size_t{0}, size_t{1}, size_t{7}, size_t{8}, size_t{9}, size_t{63}, size_t{1000},
                         static_cast<size_t>(FrameBytes)}) {
        const auto pixels = RandomFrame(rng, count + 1);
        std::vector<uint32_t> expected(count + 1, 0xdeadbeef), got;
        plain::ExpandFrame(pixels.data(), count, table, expected.data());
        for (const KernelSet* set : FastSets()) {
            got.assign(count + 1, 0xdeadbeef);
            set->expand(pixels.data(), count, table, got.data());
            ASSERT_EQ(got, expected) << set->name << " " << count;
        }
    }
}

// The whole animation loop through the public routines, one frame per path
// segment.
TEST(FastKernels, RenderFrameMatchesPlainOverTheLoop) {
    BuildPath();
    size_t count;
    const KernelSet* sets = KernelSets(count);
    uint32_t now = 0;
    SetClock([&now] { return now; });
    std::vector<uint8_t> expected(FrameBytes);
    for (uint32_t t = 0; t < 150000; t += 500) {
        now = t;
        ChooseKernels(sets[0]);
        RenderFrame();
        std::memcpy(expected.data(), Pixels, FrameBytes);
        for (size_t k = 1; k < count; ++k) {
            ChooseKernels(sets[k]);
            std::memset(Pixels, 0, FrameBytes);
            RenderFrame();
            ASSERT_EQ(0, std::memcmp(Pixels, expected.data(), FrameBytes)) << sets[k].name << " t " << t;
        }
    }
    ChooseKernels(sets[count - 1]);
    SetClock(nullptr);
}

TEST(FastKernels, PlainComesFirstAndTheFastestIsChosen) {
    size_t count;
    const KernelSet* sets = KernelSets(count);
    ASSERT_GE(count, 1u);
    EXPECT_STREQ(sets[0].name, "plain");
    EXPECT_EQ(&ChosenKernels(), &sets[count - 1]);
}

}  // namespace
