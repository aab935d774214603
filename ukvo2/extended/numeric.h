// Conversions from floating point to integers, defined for every input, for
// Extended and for each type of the extended-precision steps.
#pragma once

#include <cstdint>

#include "extended.h"

namespace ukvo2 {

// Rounds to the nearest integer, ties to even (the default rounding mode),
// saturating at the ends of the 32-bit range; NaN gives 0.
template <typename R>
int32_t RoundToInt32(R v) {
    if (IsNan(v)) return 0;
    if (v >= R(2147483647)) return INT32_MAX;
    if (v <= R(-2147483647 - 1)) return INT32_MIN;
    return static_cast<int32_t>(TruncToInt64(Nearbyint(v)));
}

// Truncates toward zero, saturating at the ends of the 32-bit range; NaN
// gives 0.
template <typename R>
int32_t TruncToInt32(R v) {
    if (IsNan(v)) return 0;
    if (v >= R(2147483647)) return INT32_MAX;
    if (v <= R(-2147483647 - 1)) return INT32_MIN;
    return static_cast<int32_t>(TruncToInt64(v));
}

// A double is taken exactly as Extended.
inline int32_t RoundToInt32(double v) { return RoundToInt32(Extended(v)); }
inline int32_t TruncToInt32(double v) { return TruncToInt32(Extended(v)); }

}  // namespace ukvo2
