// Every fast kernel set against the plain reference, on the same inputs:
// thousands of them, drawn from a fixed seed and biased to the edges, and
// the whole animation loop. Identical bytes every time.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <vector>

#include "kernels/select.h"
#include "test_util.h"
#include "frame.h"
#include "path.h"

namespace {

using namespace ukvo2;

// Runs `run` on a copy of `start` with every kernel set, the emulated ones
// too, and `more`; all must agree with the plain one (the first).
template <typename Run>
void ExpectSameAsPlain(const std::vector<uint8_t>& start, Run run, const std::string& what,
                       const KernelSet* more = nullptr) {
    std::vector<const KernelSet*> sets = testutil::SetsToCompare();
    if (more) sets.push_back(more);
    std::vector<uint8_t> plain;
    for (const KernelSet* set : sets) {
        auto got = start;
        run(*set, got.data());
        if (set == sets[0]) plain = got;
        ASSERT_EQ(got, plain) << set->name << " " << what;
    }
}

// One of `values`, or with the rest of the odds a number in [lo, hi].
int32_t Pick(std::mt19937& rng, std::initializer_list<int32_t> values, int32_t lo, int32_t hi) {
    if (rng() % 2) return values.begin()[rng() % values.size()];
    return static_cast<int32_t>(lo + static_cast<int64_t>(rng() % (static_cast<uint64_t>(hi) - lo + 1)));
}

std::vector<uint8_t> RandomFrame(std::mt19937& rng, size_t size) {
    std::vector<uint8_t> f(size);
    const uint32_t kind = rng() % 4;
    for (auto& b : f) b = kind == 0 ? 255 : static_cast<uint8_t>(kind == 1 ? rng() % 3 : rng());
    return f;
}

TEST(FastKernels, JuliaMatchesPlain) {
    std::mt19937 rng(20241);
    BuildPath();
    const int32_t sizes[][2] = {{1, 2}, {2, 2}, {3, 3}, {7, 5}, {1, 9}, {33, 2}, {640, 480}, {17, 64}, {100, 3}, {5, 130}};
    for (int trial = 0; trial < 3000; ++trial) {
        int32_t w = 1 + rng() % 48, h = 2 + rng() % 48;
        if (trial % 5 == 0) w = sizes[rng() % 10][0], h = sizes[rng() % 10][1];
        if (w * h > 10000 && trial % 40 != 0) w = 64, h = 48;  // whole frames are slow in plain: a few
        // The frame, and a shorter side that 3000000 divides to just below an integer (3516.998 for 853).
        if (trial < 2) w = trial ? 854 : 640, h = trial ? 853 : 480;
        int32_t cre, cim;
        switch (rng() % 4) {
            case 0: {  // along the animation path
                const Complex p = JuliaParameter(rng() % 150000);
                cre = JuliaFixedPoint(p.re), cim = JuliaFixedPoint(p.im);
            } break;
            case 1:  // in design, to the edges of 16-bit exactness and beyond
                cre = Pick(rng, {-2048, -2047, 2046, 2047, 2048, 0}, -2100, 2100);
                cim = Pick(rng, {-2048, -2047, -2046, 2046, 2047, 0}, -2100, 2100);
                break;
            case 2:  // out of design: wrapping arithmetic
                cre = Pick(rng, {INT32_MIN, INT32_MAX, -40960, 40960}, INT32_MIN, INT32_MAX);
                cim = Pick(rng, {INT32_MIN, INT32_MAX, -40960, 40960}, INT32_MIN, INT32_MAX);
                break;
            default:
                cre = -1024 + static_cast<int32_t>(rng() % 1400), cim = -700 + static_cast<int32_t>(rng() % 1400);
        }
        const int32_t maxIter = Pick(rng, {-1, 0, 1, 2, 63, 64, 65, 128, 300}, -1, 300);
        ExpectSameAsPlain(RandomFrame(rng, static_cast<size_t>(w) * h),
                          [&](const KernelSet& set, uint8_t* f) { set.julia(f, w, h, maxIter, cre, cim); },
                          testing::PrintToString(std::vector<int32_t>{w, h, maxIter, cre, cim}));
    }
}

TEST(FastKernels, BlurMatchesPlain) {
    std::mt19937 rng(7);
    for (int trial = 0; trial < 3000; ++trial) {
        int32_t w = 1 + rng() % (trial % 4 == 0 ? 200 : 40), h = 1 + rng() % (trial % 4 == 0 ? 150 : 40);
        if (trial % 100 == 0) w = 640, h = 480;
        // Centres at the edges, the last row and column included.
        const int32_t cx = std::clamp(Pick(rng, {0, 1, w - 1, w - 2}, 0, w - 1), 0, w - 1);
        const int32_t cy = std::clamp(Pick(rng, {0, 1, h - 1, h - 2}, 0, h - 1), 0, h - 1);
        // Steps whose sample columns stall once in 55 columns (the program's), once in 26 or 14
        // (chunks of 32 or 16 columns then hold two stalls now and then), and more often.
        const uint32_t d = static_cast<uint32_t>(Pick(rng, {64356, 52428, 1, 65535, 65000, 30000, 63000, 61000}, 1, 65535));
        ExpectSameAsPlain(RandomFrame(rng, static_cast<size_t>(w) * h),
                          [&](const KernelSet& set, uint8_t* f) { set.blur(f, w, h, cx, cy, d); },
                          testing::PrintToString(std::vector<int64_t>{w, h, cx, cy, d}));
    }
}

// The whole animation loop through the public routines, a frame every other
// path segment, and the program's own choice too.
TEST(FastKernels, RenderFrameMatchesPlainOverTheLoop) {
    BuildPath();
    EXPECT_STREQ(testutil::SetsToCompare()[0]->name, "plain");
    const KernelSet& chosen = FastestKernels();
    for (uint32_t t = 0; t < 150000; t += 1000) {
        ExpectSameAsPlain(std::vector<uint8_t>(FrameBytes), [&](const KernelSet& set, uint8_t* frame) {
            ChooseKernels(set);
            RenderFrameAt(t);
            std::copy(Pixels, Pixels + FrameBytes, frame);
        }, "t " + std::to_string(t), &chosen);
    }
    ChooseKernels(chosen);
}

// Slowed copies of the fastest set's kernels: the same bytes, six times the work.
const KernelSet* Fast;
void SlowJulia(uint8_t* p, int32_t w, int32_t h, int32_t n, int32_t cre, int32_t cim) {
    for (int k = 0; k < 6; ++k) Fast->julia(p, w, h, n, cre, cim);
}
void SlowBlur(uint8_t* p, int32_t w, int32_t h, int32_t cx, int32_t cy, uint32_t d) {
    std::vector<uint8_t> start(p, p + static_cast<size_t>(w) * h);
    for (int k = 0; k < 6; ++k) {
        std::copy(start.begin(), start.end(), p);
        Fast->blur(p, w, h, cx, cy, d);
    }
}

// The selector takes each kind of kernel from the set that runs it fastest:
// a kernel made slow on purpose is never chosen, whichever set holds it and
// wherever that set stands in the list.
TEST(KernelChoice, SlowKernelsAreNeverChosen) {
    size_t count;
    Fast = &KernelSets(count)[count - 1];
    const KernelSet slowBlur{"slow-blur", Fast->julia, SlowBlur, nullptr};
    const KernelSet slowJulia{"slow-julia", SlowJulia, Fast->blur, nullptr};
    const KernelSet slowBoth{"slow", SlowJulia, SlowBlur, nullptr};
    const struct {
        std::vector<KernelSet> sets;
        const char *julia, *blur;
    } cases[] = {
        {{slowBlur, slowJulia}, "slow-blur", "slow-julia"},
        {{slowJulia, slowBlur}, "slow-blur", "slow-julia"},
        {{slowBoth, slowBlur, slowJulia}, "slow-blur", "slow-julia"},
        {{slowBoth}, "slow", "slow"},
    };
    for (const auto& c : cases) {
        const KernelChoice choice = TimeKernels(c.sets.data(), c.sets.size());
        EXPECT_STREQ(choice.julia->name, c.julia) << c.sets[0].name;
        EXPECT_STREQ(choice.blur->name, c.blur) << c.sets[0].name;
    }
}

// What the timing hands each set, noted by stand-in kernels as (set, picture): a Julia
// kernel fills the frame with its parameter's low byte, a blur notes the frame it is given.
std::vector<std::pair<int, uint8_t>> JuliaCalls, BlurCalls;
template <int Set>
void NotedJulia(uint8_t* p, int32_t w, int32_t h, int32_t, int32_t cre, int32_t) {
    std::fill(p, p + static_cast<size_t>(w) * h, static_cast<uint8_t>(cre));
    JuliaCalls.push_back({Set, p[0]});
}
template <int Set>
void NotedBlur(uint8_t* p, int32_t, int32_t, int32_t, int32_t, uint32_t) {
    BlurCalls.push_back({Set, p[0]});
}

// Every set's kernels are timed on every frame, each blur on the picture
// of its own frame, as often as every other set's.
TEST(KernelChoice, EverySetIsTimedOnEveryFrame) {
    const KernelSet sets[] = {{"a", NotedJulia<0>, NotedBlur<0>, nullptr},
                              {"b", NotedJulia<1>, NotedBlur<1>, nullptr},
                              {"c", NotedJulia<2>, NotedBlur<2>, nullptr}};
    JuliaCalls.clear();
    BlurCalls.clear();
    TimeKernels(sets, 3);
    // First the last set draws the three frames' pictures, for the blurs.
    ASSERT_GE(JuliaCalls.size(), 3u);
    for (size_t k = 0; k < 3; ++k) EXPECT_EQ(JuliaCalls[k].first, 2) << k;
    EXPECT_EQ(std::set<uint8_t>({JuliaCalls[0].second, JuliaCalls[1].second, JuliaCalls[2].second}).size(), 3u);
    // Then the rounds: each blur sees the picture of the frame it times.
    std::map<int, std::multiset<uint8_t>> julia, blur;
    for (size_t k = 3; k < JuliaCalls.size(); ++k) julia[JuliaCalls[k].first].insert(JuliaCalls[k].second);
    for (const auto& [set, picture] : BlurCalls) blur[set].insert(picture);
    for (int set = 0; set < 3; ++set) {
        EXPECT_EQ(std::set<uint8_t>(julia[set].begin(), julia[set].end()).size(), 3u) << set;
        EXPECT_EQ(julia[set].size(), julia[0].size()) << set;
        EXPECT_EQ(blur[set], julia[set]) << set;
    }
}

// KVO_KERNELS names one set for both kernels, or the Julia kernel's set and
// the blur's; anything else leaves the choice to the timing.
TEST(KernelChoice, NamedSets) {
    const KernelSet sets[] = {{"plain", nullptr, nullptr, nullptr}, {"avx2", nullptr, nullptr, nullptr},
                              {"avx512", nullptr, nullptr, nullptr}};
    const struct {
        const char* text;
        int julia, blur;  // -1: refused
    } cases[] = {
        {"avx2", 1, 1},       {"avx512,avx2", 2, 1}, {"plain,avx512", 0, 2}, {"avx512", 2, 2},
        {"", -1, -1},         {"avx", -1, -1},       {"avx2,", -1, -1},      {",avx2", -1, -1},
        {"avx2,avx5", -1, -1}, {"avx2,avx512,plain", -1, -1}, {"AVX2", -1, -1}, {"avx2 ", -1, -1},
        {"avx512-emulated", -1, -1},
    };
    for (const auto& c : cases) {
        KernelChoice choice{&sets[0], &sets[0]};
        const bool read = ParseKernelChoice(c.text, sets, 3, choice);
        EXPECT_EQ(read, c.julia >= 0) << c.text;
        EXPECT_EQ(choice.julia, &sets[read ? c.julia : 0]) << c.text;
        EXPECT_EQ(choice.blur, &sets[read ? c.blur : 0]) << c.text;
    }
}

}  // namespace
