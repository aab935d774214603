// Conversions from floating point to integers, defined for every input.
#pragma once

#include <cmath>
#include <cstdint>

namespace ukvo2 {

// Rounds to the nearest integer, ties to even (the default rounding mode),
// saturating at the ends of the 32-bit range; NaN gives 0.
inline int32_t RoundToInt32(long double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0L) return INT32_MAX;
    if (v <= -2147483648.0L) return INT32_MIN;
    return static_cast<int32_t>(std::nearbyint(v));
}

// Truncates toward zero, saturating at the ends of the 32-bit range; NaN
// gives 0.
inline int32_t TruncToInt32(long double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0L) return INT32_MAX;
    if (v <= -2147483648.0L) return INT32_MIN;
    return static_cast<int32_t>(v);
}

}  // namespace ukvo2
