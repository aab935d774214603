// The fast kernels for any x86 processor with SSE2: the Julia set 8 pixels
// per vector; the blur is the plain loop.
#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

#include "kernels.h"

#define BLOCK_W 4
#define BLOCK_H 2
#define MULHI(a, b) ((VecS)_mm_mulhi_epi16((__m128i)(a), (__m128i)(b)))
#define ANY_LANE(v) (_mm_movemask_epi8((__m128i)(v)) != 0)

namespace ukvo2::sse2 {

#include "julia_lanes.inc"
#include "expand_lanes.inc"

// Without a byte shuffle the blur gains nothing over the plain loop.
void ZoomBlur(uint8_t* pixels, int32_t width, int32_t height, int32_t cx, int32_t cy,
              uint32_t d) {
    plain::ZoomBlur(pixels, width, height, cx, cy, d);
}
}  // namespace ukvo2::sse2
