// The palette's curves and the power function.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "extended/elementary.h"
#include "test_util.h"
#include "wide.h"
#include "palette.h"
#include "steps_for_tests.h"

namespace {

// Kvo's own exp and log, within 3 units in the last place of the C
// library's (of this machine's long double, as wide as Extended or wider).
TEST(Power, ExpAndLogMatchTheLibrary) {
    using testutil::Wide;
    using ukvo2::Extended;
    const auto within = [](long double got, long double want) {
        return std::fabs(got - want) <= 3 * std::ldexp(1.0L, std::ilogb(want) - 63);
    };
    // Only a C library whose long double functions are exact to 64 bits is a reference
    // (musl's for 128-bit long double, as on WebAssembly, computes them in double).
    const long double ln2 = 0.693147180559945309417232121458176568L;
    if (std::fabs(std::log(2.0L) - ln2) > std::ldexp(1.0L, -62)) return;
    std::mt19937_64 rng(5);
    for (int i = 0; i < 20000; ++i) {
        // Palette exponents: x ln x for x from 1/256 to 2, times up to 10.
        const Extended x = ukvo2::Ldexp(Extended(rng() | uint64_t{1} << 63), -63 - static_cast<int>(rng() % 9));
        const Extended y = Extended(static_cast<int64_t>(rng() % 140000) - 120000) / Extended(2000);
        ASSERT_TRUE(within(Wide(ukvo2::steps::Log(x)), std::log(Wide(x)))) << ukvo2::ToDouble(x);
        ASSERT_TRUE(within(Wide(ukvo2::steps::Exp(y)), std::exp(Wide(y)))) << ukvo2::ToDouble(y);
    }
}

TEST(BuildPalette, KnownEntries) {
    ukvo2::BuildPalette();
    // index, red, green, blue; 174 is the value nearest a tie (227.499...).
    const int rows[][4] = {{0, 48, 9, 0},       {1, 59, 14, 0},       {3, 73, 21, 0},     {31, 137, 73, 0},
                           {64, 169, 112, 0},   {128, 208, 169, 0},   {136, 211, 175, 0}, {137, 212, 176, 1},
                           {174, 227, 203, 6},  {191, 234, 215, 14},  {230, 247, 240, 91}, {250, 253, 252, 209},
                           {254, 255, 254, 245}, {255, 255, 255, 255}};
    for (const auto& [i, red, green, blue] : rows) {
        const auto& e = ukvo2::Palette[i];
        EXPECT_EQ((std::vector<int>{e.red, e.green, e.blue, e.reserved}), (std::vector<int>{red, green, blue, 0})) << i;
    }
    // The whole table, pinned.
    EXPECT_EQ(testutil::Fnv1a(reinterpret_cast<const uint8_t*>(ukvo2::Palette), sizeof ukvo2::Palette),
              6623681853937093905ull);
}

}  // namespace
