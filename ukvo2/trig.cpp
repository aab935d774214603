// Sine and cosine in extended precision from plain arithmetic, so that the
// animation's parameter and blur centre come out the same on every machine
// whatever its C library.
#include <cmath>
#include <cstdint>

#include "ukvo2.h"

namespace ukvo2 {

namespace {

// pi/2 in four pieces of 33 significant bits: for |n| < 2^31, n times a piece
// is exact in the 64-bit mantissa.
constexpr long double kHalfPi1 = 0x1921fb544p-32L;
constexpr long double kHalfPi2 = 0x10b4611a6p-66L;
constexpr long double kHalfPi3 = 0x13198a2e0p-101L;
constexpr long double kHalfPi4 = 0x1b839a252p-136L;
constexpr long double kTwoOverPi = 0xa2f9836e4e441529p-64L;

// Taylor series on |r| <= pi/4 (plus a little), to below one unit in the
// 64-bit mantissa. The factorials up to 25! are exact as long doubles.
long double SinPoly(long double r) {
    const long double r2 = r * r;
    long double p = 1.0L / 51090942171709440000.0L;          // 1/21!
    p = -1.0L / 121645100408832000.0L + r2 * p;              // 1/19!
    p = 1.0L / 355687428096000.0L + r2 * p;                  // 1/17!
    p = -1.0L / 1307674368000.0L + r2 * p;                   // 1/15!
    p = 1.0L / 6227020800.0L + r2 * p;                       // 1/13!
    p = -1.0L / 39916800.0L + r2 * p;                        // 1/11!
    p = 1.0L / 362880.0L + r2 * p;                           // 1/9!
    p = -1.0L / 5040.0L + r2 * p;                            // 1/7!
    p = 1.0L / 120.0L + r2 * p;                              // 1/5!
    p = -1.0L / 6.0L + r2 * p;                               // 1/3!
    return r + r * r2 * p;
}

long double CosPoly(long double r) {
    const long double r2 = r * r;
    long double p = -1.0L / 1124000727777607680000.0L;      // 1/22!
    p = 1.0L / 2432902008176640000.0L + r2 * p;              // 1/20!
    p = -1.0L / 6402373705728000.0L + r2 * p;                // 1/18!
    p = 1.0L / 20922789888000.0L + r2 * p;                   // 1/16!
    p = -1.0L / 87178291200.0L + r2 * p;                     // 1/14!
    p = 1.0L / 479001600.0L + r2 * p;                        // 1/12!
    p = -1.0L / 3628800.0L + r2 * p;                         // 1/10!
    p = 1.0L / 40320.0L + r2 * p;                            // 1/8!
    p = -1.0L / 720.0L + r2 * p;                             // 1/6!
    p = 1.0L / 24.0L + r2 * p;                               // 1/4!
    p = -0.5L + r2 * p;                                      // 1/2!
    return 1.0L + r2 * p;
}

// x = n pi/2 + r with |r| <= about pi/4; returns n mod 4 and r.
int Reduce(long double x, long double& r) {
    const long double n = std::nearbyint(x * kTwoOverPi);
    r = x - n * kHalfPi1;  // exact: x and n pi/2 lie close together
    r -= n * kHalfPi2;
    r -= n * kHalfPi3;
    r -= n * kHalfPi4;
    return static_cast<int>(static_cast<int64_t>(n) & 3);
}

constexpr long double kReduceLimit = 0x1p31L;

}  // namespace

long double SinX(long double x) {
    if (!(std::fabs(x) < kReduceLimit)) return std::sin(x);  // NaN, inf, huge
    long double r;
    switch (Reduce(x, r)) {
        case 0: return SinPoly(r);
        case 1: return CosPoly(r);
        case 2: return -SinPoly(r);
        default: return -CosPoly(r);
    }
}

long double CosX(long double x) {
    if (!(std::fabs(x) < kReduceLimit)) return std::cos(x);
    long double r;
    switch (Reduce(x, r)) {
        case 0: return CosPoly(r);
        case 1: return -SinPoly(r);
        case 2: return -CosPoly(r);
        default: return SinPoly(r);
    }
}

}  // namespace ukvo2
