// SoftExtended against the x87 itself: every operation on millions of random
// operands biased to the edges, and the extended-precision steps of the frame
// run on both types. Any difference in any bit fails. x86 only; slow (label
// "exactness").
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>

#include "path.h"
#include "extended/numeric.h"
#include "steps_for_tests.h"

namespace {

using ukvo2::SoftExtended;
namespace steps = ukvo2::steps;

SoftExtended Soft(long double x) {
    SoftExtended s;
    std::memcpy(&s.significand, &x, 8);
    std::memcpy(&s.signExponent, reinterpret_cast<const char*>(&x) + 8, 2);
    return s;
}

// Same bits; any NaN matches any NaN.
::testing::AssertionResult Same(SoftExtended s, long double x) {
    const SoftExtended want = Soft(x);
    if (std::isnan(x) ? ukvo2::IsNan(s) : s.significand == want.significand && s.signExponent == want.signExponent)
        return ::testing::AssertionSuccess();
    char text[96];
    std::snprintf(text, sizeof text, "got %04x %016llx, want %La", s.signExponent,
                  static_cast<unsigned long long>(s.significand), x);
    return ::testing::AssertionFailure() << text;
}

template <typename T>
bool SameBits(T a, T b) { return std::memcmp(&a, &b, sizeof a) == 0; }

std::mt19937_64 rng(15);

long double FromParts(bool neg, uint32_t field, uint64_t sig) {
    sig = field ? sig | uint64_t{1} << 63 : sig & ~(uint64_t{1} << 63);
    const uint16_t se = static_cast<uint16_t>(field | (neg ? 0x8000 : 0));
    long double x = 0;
    std::memcpy(&x, &sig, 8);
    std::memcpy(reinterpret_cast<char*>(&x) + 8, &se, 2);
    return x;
}

// A random operand: any exponent, or near 1, or near overflow and underflow
// (subnormals too); significands random, runs of ones (carries), a single bit
// (exact ties), or few low bits; now and then 0 or infinity.
long double Operand() {
    uint64_t sig = rng();
    switch (rng() % 4) {
        case 0: sig = ~uint64_t{0} << (rng() % 64); break;
        case 1: sig = uint64_t{1} << (rng() % 64); break;
        case 2: sig &= 0xFFFF; break;
    }
    const uint32_t fields[] = {static_cast<uint32_t>(rng() % 0x7FFF), static_cast<uint32_t>(rng() % 70),
                               static_cast<uint32_t>(0x7FFE - rng() % 70), static_cast<uint32_t>(16383 - 70 + rng() % 140)};
    uint32_t field = fields[rng() % 4];
    if (rng() % 500 == 0) field = sig = 0;
    if (rng() % 500 == 0) field = 0x7FFF, sig = 0;
    return FromParts(rng() & 1, field, sig);
}

// A second operand for x: unrelated, or close to it in size (cancellation,
// carries), or exactly half a unit of its last place, or one of its units.
long double Partner(long double x) {
    if (!std::isfinite(x) || x == 0) return Operand();
    const int e = std::ilogb(x);
    switch (rng() % 4) {
        case 0: return Operand();
        case 1: {
            const uint32_t field = Soft(x).signExponent & 0x7FFF;
            return FromParts(rng() & 1, field < 4 ? field : field - rng() % 4, rng() >> (rng() % 2 * 40));
        }
        case 2: return std::ldexp(static_cast<long double>(rng() % 4 * 2 + 1) * (rng() & 1 ? 1 : -1), e - 64 - static_cast<int>(rng() % 2));
        default: return -x + std::ldexp(static_cast<long double>(static_cast<int64_t>(rng() % 9) - 4), e - 63);
    }
}

TEST(SoftExtended, OperationsMatchTheX87) {
    for (int i = 0; i < 3000000; ++i) {
        const long double a = Operand(), b = Partner(a);
        const SoftExtended sa = Soft(a), sb = Soft(b);
        const std::pair<SoftExtended, long double> results[] = {
            {sa + sb, a + b}, {sa - sb, a - b}, {sa * sb, a * b}, {sa / sb, a / b}};
        for (int o = 0; o < 4; ++o)
            ASSERT_TRUE(Same(results[o].first, results[o].second)) << std::hexfloat << a << ' ' << "+-*/"[o] << ' ' << b;
        ASSERT_TRUE((sa < sb) == (a < b) && (sa == sb) == (a == b) && (sa <= sb) == (a <= b)) << std::hexfloat << a << " " << b;
        const int n = static_cast<int>(rng() % 140) - 70;
        ASSERT_TRUE(Same(ukvo2::Ldexp(sa, n), std::ldexp(a, n))) << std::hexfloat << a << " " << n;
        // To double: from the operand, and from one that lies on a tie.
        const long double tie = FromParts(rng() & 1, 16383 - 1100 + rng() % 2200, (rng() & ~uint64_t{0x7FF}) | 0x400);
        for (long double x : {a, tie})
            ASSERT_TRUE(SameBits(ukvo2::ToDouble(Soft(x)), static_cast<double>(x))) << std::hexfloat << x;
        // To integers, by truncation and ties to even: operands of a size to
        // have both an integer part and a fraction, halves among them.
        const long double v = std::ldexp(static_cast<long double>(rng() >> (rng() % 64)),
                                         -static_cast<int>(rng() % 64)) * (rng() & 1 ? 1 : -1);
        ASSERT_TRUE(Same(ukvo2::Nearbyint(Soft(v)), std::nearbyint(v))) << std::hexfloat << v;
        ASSERT_TRUE(Same(ukvo2::Trunc(Soft(v)), std::trunc(v))) << std::hexfloat << v;
        ASSERT_EQ(ukvo2::TruncToInt64(Soft(v)), static_cast<int64_t>(v)) << std::hexfloat << v;
        ASSERT_EQ(ukvo2::RoundToInt32(Soft(v)), ukvo2::RoundToInt32(v)) << std::hexfloat << v;
        // From doubles (any bits) and integers.
        const double d = __builtin_bit_cast(double, uint64_t{rng()});
        ASSERT_TRUE(Same(SoftExtended(d), d)) << std::hexfloat << d;
        const int64_t k = static_cast<int64_t>(rng()) >> (rng() % 64);
        ASSERT_TRUE(Same(SoftExtended(k), static_cast<long double>(k))) << k;
        ASSERT_TRUE(Same(SoftExtended(static_cast<uint64_t>(k)), static_cast<long double>(static_cast<uint64_t>(k))));
    }
}

// The steps on both types: the Julia parameter (as doubles, so its fixed-point
// pair too) for every tick of the loop and for 10 million random readings, the
// blur centre for 10 million, the step for random factors.
TEST(SoftExtended, FrameStepsMatchTheX87) {
    ukvo2::BuildPath();
    auto parameter = [](uint32_t t) {
        const ukvo2::Complex x = steps::JuliaParameter<long double>(t, ukvo2::Path);
        const ukvo2::Complex s = steps::JuliaParameter<SoftExtended>(t, ukvo2::Path);
        return SameBits(x.re, s.re) && SameBits(x.im, s.im);
    };
    for (uint32_t k = 0; k < 6000; ++k) ASSERT_TRUE(parameter(25 * k)) << 25 * k;
    for (int i = 0; i < 10000000; ++i) {
        const uint32_t t = static_cast<uint32_t>(rng()), t2 = static_cast<uint32_t>(rng()), t3 = static_cast<uint32_t>(rng());
        ASSERT_TRUE(parameter(t)) << t;
        const ukvo2::Centre x = steps::BlurCentre<long double>(t2, t3, 640, 480);
        const ukvo2::Centre s = steps::BlurCentre<SoftExtended>(t2, t3, 640, 480);
        ASSERT_TRUE(x.cx == s.cx && x.cy == s.cy) << t2 << " " << t3;
    }
    for (int i = 0; i < 100000; ++i) {
        // Any factor, or one in (0, 1).
        const double factor = __builtin_bit_cast(double, uint64_t{i % 2 ? rng() : 0x3F00000000000000 | (rng() >> 12)});
        uint32_t dx = 0, ds = 0;
        ASSERT_EQ(steps::ZoomStep<long double>(factor, dx), steps::ZoomStep<SoftExtended>(factor, ds));
        ASSERT_EQ(dx, ds) << factor;
    }
}

TEST(SoftExtended, PaletteAndTitleMatchTheX87) {
    for (int i = 0; i < 256; ++i) {
        const ukvo2::PaletteEntry x = steps::PaletteAt<long double>(i),
                                  s = steps::PaletteAt<SoftExtended>(i);
        ASSERT_TRUE(SameBits(x, s)) << i;
        const long double up = (i + 1) / 256.0L;
        ASSERT_TRUE(Same(steps::Power(Soft(up), Soft(0.3L)), steps::Power(up, 0.3L))) << i;
        ASSERT_TRUE(Same(steps::Power(Soft(i / 255.0L), Soft(10)), steps::Power(i / 255.0L, 10.0L))) << i;
    }
    // The rate text: the cases of the title, then random rates as the title
    // computes them, frames over elapsed seconds.
    for (long double v : {0.5L, 10.0L, 1005.25L, 58.317L, 29.999L, 0.999L, 9999.999L,
                          5 / 2.262443438914027L, 123456.789L, 4294967296.5L, -3.0L})
        ASSERT_EQ(steps::FloatToText(Soft(v)), steps::FloatToText(v)) << static_cast<double>(v);
    for (int i = 0; i < 1000000; ++i) {
        const int32_t frames = static_cast<int32_t>(rng() % 100000);
        const uint32_t from = static_cast<uint32_t>(rng()), to = from + 2001 + static_cast<uint32_t>(rng() % 5000);
        const double last = static_cast<double>(steps::Seconds<long double>(from, 0));
        ASSERT_TRUE(SameBits(last, ukvo2::ToDouble(steps::Seconds<SoftExtended>(from, 0)))) << from;
        const double elapsed = steps::Elapsed<long double>(to, from, last);
        ASSERT_TRUE(SameBits(elapsed, steps::Elapsed<SoftExtended>(to, from, last))) << from << " " << to;
        ASSERT_EQ(steps::FloatToText(steps::FrameRateValue<SoftExtended>(frames, elapsed)),
                  steps::FloatToText(steps::FrameRateValue<long double>(frames, elapsed)))
            << frames << " " << elapsed;
    }
}

}  // namespace
