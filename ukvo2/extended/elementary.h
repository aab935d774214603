// Sine, cosine, exp and log in the x87's extended format, each written once
// for any type R with that format: the program runs them on Extended, and the
// tests on both long double and SoftExtended to prove that the two give the
// same bits. They are Kvo's own, from plain arithmetic, so no C library's
// sinl, expl or logl is involved.
#pragma once

#include <cstdint>
#include <limits>

#include "extended.h"

namespace ukvo2::steps {

// ---- Sine and cosine --------------------------------------------------------

template <typename R>
struct TrigConstants {
    // pi/2 in four pieces of 33 significant bits: for |n| < 2^31, n times a
    // piece is exact in the 64-bit significand.
    static constexpr R halfPi1 = R(0x1921fb544) * R(0x1p-32);
    static constexpr R halfPi2 = R(0x10b4611a6) * R(0x1p-66);
    static constexpr R halfPi3 = R(0x13198a2e0) * R(0x1p-101);
    static constexpr R halfPi4 = R(0x1b839a252) * R(0x1p-136);
    static constexpr R twoOverPi = R(0xa2f9836e4e441529u) * R(0x1p-64);
    static constexpr R reduceLimit = R(0x1p31);
    // Taylor series on |r| <= pi/4 (plus a little), to below one unit in the
    // 64-bit significand: 1/21!, -1/19!, ..., -1/3! and -1/22!, ..., -1/2!.
    // The factorials are exact as doubles.
    static constexpr R sine[10] = {
        R(1) / R(51090942171709440000.0), R(-1) / R(121645100408832000.0),
        R(1) / R(355687428096000.0),      R(-1) / R(1307674368000.0),
        R(1) / R(6227020800.0),           R(-1) / R(39916800.0),
        R(1) / R(362880.0),               R(-1) / R(5040.0),
        R(1) / R(120.0),                  R(-1) / R(6.0)};
    static constexpr R cosine[11] = {
        R(-1) / R(1124000727777607680000.0), R(1) / R(2432902008176640000.0),
        R(-1) / R(6402373705728000.0),       R(1) / R(20922789888000.0),
        R(-1) / R(87178291200.0),            R(1) / R(479001600.0),
        R(-1) / R(3628800.0),                R(1) / R(40320.0),
        R(-1) / R(720.0),                    R(1) / R(24.0),
        R(-0.5)};
};

// The polynomial with coefficients c (highest power first) at x, by Horner's
// rule.
template <typename R, int N>
R Horner(const R (&c)[N], R x) {
    R p = c[0];
    for (int i = 1; i < N; ++i) p = c[i] + x * p;
    return p;
}

template <typename R>
R SinPoly(R r) {
    const R r2 = r * r;
    return r + r * r2 * Horner(TrigConstants<R>::sine, r2);
}

template <typename R>
R CosPoly(R r) {
    const R r2 = r * r;
    return R(1) + r2 * Horner(TrigConstants<R>::cosine, r2);
}

// x = n pi/2 + r with |r| <= about pi/4; returns n mod 4 and r.
template <typename R>
int Reduce(R x, R& r) {
    using C = TrigConstants<R>;
    const R n = Nearbyint(x * C::twoOverPi);
    r = x - n * C::halfPi1;  // exact: x and n pi/2 lie close together
    r = r - n * C::halfPi2;
    r = r - n * C::halfPi3;
    r = r - n * C::halfPi4;
    return static_cast<int>(TruncToInt64(n) & 3);
}

// The sine of n pi/2 + r, from the quadrant n (mod 4) and r.
template <typename R>
R SineInQuadrant(int n, R r) {
    switch (n & 3) {
        case 0: return SinPoly(r);
        case 1: return CosPoly(r);
        case 2: return -SinPoly(r);
        default: return -CosPoly(r);
    }
}

// Sine and cosine, to about one unit in the last place for |x| < 2^31; NaN
// beyond, and for NaN and infinities. The cosine is the sine a quadrant on.
template <typename R>
R Sine(R x) {
    if (!(Abs(x) < TrigConstants<R>::reduceLimit)) return R(std::numeric_limits<double>::quiet_NaN());
    R r = R(0);
    const int n = Reduce(x, r);
    return SineInQuadrant(n, r);
}

template <typename R>
R Cosine(R x) {
    if (!(Abs(x) < TrigConstants<R>::reduceLimit)) return R(std::numeric_limits<double>::quiet_NaN());
    R r = R(0);
    const int n = Reduce(x, r);
    return SineInQuadrant(n + 1, r);
}

// ---- Exp and log -----------------------------------------------------------------

template <typename R>
struct ExpLogConstants {
    // ln 2 = ln2Hi + ln2Lo, ln2Hi of 48 bits: n ln2Hi is exact for |n| < 2^16.
    static constexpr R ln2Hi = R(0xb17217f7d1cf) * R(0x1p-48);
    static constexpr R ln2Lo = R(0xf35793c7673007e6u) * R(0x1p-113);
    static constexpr R invLn2 = R(0xb8aa3b295c17f0bcu) * R(0x1p-63);
    static constexpr R sqrt2 = R(1.4142135623730951);
    // 1/k! for e^r, 1/k for ln m.
    static constexpr R inverseFactorial[18] = {
        R(1), R(1), R(1) / R(2), R(1) / R(6), R(1) / R(24), R(1) / R(120), R(1) / R(720),
        R(1) / R(5040), R(1) / R(40320), R(1) / R(362880), R(1) / R(3628800),
        R(1) / R(39916800), R(1) / R(479001600), R(1) / R(6227020800),
        R(1) / R(87178291200), R(1) / R(1307674368000), R(1) / R(20922789888000),
        R(1) / R(355687428096000)};
    static constexpr R inverseOdd[14] = {
        R(1), R(1) / R(3), R(1) / R(5), R(1) / R(7), R(1) / R(9), R(1) / R(11), R(1) / R(13),
        R(1) / R(15), R(1) / R(17), R(1) / R(19), R(1) / R(21), R(1) / R(23), R(1) / R(25),
        R(1) / R(27)};
};

// e^y: y = n ln 2 + r with |r| <= about ln 2 / 2, e^r by its Taylor series to
// r^17 / 17!.
template <typename R>
R Exp(R y) {
    using C = ExpLogConstants<R>;
    if (IsNan(y)) return y;
    if (y > R(11357)) return R(std::numeric_limits<double>::infinity());
    if (y < R(-11400)) return R(0);
    const R n = Nearbyint(y * C::invLn2);
    const R r = (y - n * C::ln2Hi) - n * C::ln2Lo;
    R p = C::inverseFactorial[17];
    for (int k = 16; k >= 0; --k) p = C::inverseFactorial[k] + r * p;
    return Ldexp(p, static_cast<int>(TruncToInt64(n)));
}

// ln x for x > 0: x = 2^e m with m in [sqrt(1/2), sqrt(2)), ln m = 2 atanh(s)
// with s = (m - 1) / (m + 1), |s| < 0.172, by its series to s^27 / 27.
template <typename R>
R Log(R x) {
    using C = ExpLogConstants<R>;
    if (IsNan(x) || x < R(0)) return R(std::numeric_limits<double>::quiet_NaN());
    if (x == R(0)) return R(-std::numeric_limits<double>::infinity());
    if (x == R(std::numeric_limits<double>::infinity())) return x;
    int e = Ilogb(x);
    R m = Ldexp(x, -e);
    if (m > C::sqrt2) {
        m = m * R(0.5);
        ++e;
    }
    const R s = (m - R(1)) / (m + R(1));
    const R s2 = s * s;
    R p = R(0);
    for (int k = 13; k >= 1; --k) p = (p + C::inverseOdd[k]) * s2;
    const R lnM = R(2) * s + R(2) * s * p;
    return R(e) * C::ln2Hi + (R(e) * C::ln2Lo + lnM);
}

}  // namespace ukvo2::steps
