// For the tests of the extended type's maths, which the C library's long
// double functions check (only these include the type through here).
#pragma once

#include "extended/extended.h"

namespace testutil {

// An extended value as this machine's long double, which is at least as wide:
// the sum of its two nearest doubles.
inline long double Wide(ukvo2::Extended x) {
    const double hi = ukvo2::ToDouble(x);
    return static_cast<long double>(hi) + ukvo2::ToDouble(x - ukvo2::Extended(hi));
}

}  // namespace testutil
