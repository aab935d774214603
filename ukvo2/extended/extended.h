// Extended: the 80-bit extended precision of the frame's set-up steps. The
// x87's own long double where the compiler offers it (GCC and Clang on x86:
// fast, and the reference), SoftExtended, which gives the same bits, on
// every other processor. KVO_PORTABLE_EXTENDED forces SoftExtended.
#pragma once

#include <cfloat>
#include <cmath>
#include <cstdint>

#include "soft_extended.h"

namespace ukvo2 {

// Whether long double is the x87's own format (GCC and Clang on x86).
#if (defined(__i386__) || defined(__x86_64__)) && LDBL_MANT_DIG == 64
#define KVO_X87_LONG_DOUBLE 1
#else
#define KVO_X87_LONG_DOUBLE 0
#endif

#if KVO_X87_LONG_DOUBLE && !defined(KVO_PORTABLE_EXTENDED)
using Extended = long double;
#else
using Extended = SoftExtended;
#endif

// The operations of soft_extended.h for the x87's long double. All are exact
// or rounded to nearest, as the format defines them, whatever the C library.
inline bool IsNan(long double x) { return std::isnan(x); }
inline long double Abs(long double x) { return std::fabs(x); }
inline long double Nearbyint(long double x) { return std::nearbyint(x); }
inline long double Trunc(long double x) { return std::trunc(x); }
inline int64_t TruncToInt64(long double x) { return static_cast<int64_t>(x); }
inline uint64_t TruncToUInt64(long double x) { return static_cast<uint64_t>(x); }
inline int Ilogb(long double x) { return std::ilogb(x); }
inline long double Ldexp(long double x, int n) { return std::ldexp(x, n); }
inline double ToDouble(long double x) { return static_cast<double>(x); }

// The decimal num / den as the nearest value of R: for R = long double the
// same value as the literal, as one division rounds once.
template <typename R>
constexpr R Ratio(int64_t num, int64_t den) {
    return R(num) / R(den);
}

}  // namespace ukvo2

// Instantiates a step written for any type with the x87's format for each
// such type: SoftExtended, and long double where it is the x87's.
#if KVO_X87_LONG_DOUBLE
#define KVO_FOR_EACH_EXTENDED(INSTANTIATE) \
    INSTANTIATE(SoftExtended)              \
    INSTANTIATE(long double)
#else
#define KVO_FOR_EACH_EXTENDED(INSTANTIATE) INSTANTIATE(SoftExtended)
#endif
