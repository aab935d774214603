// The fast kernels for any x86 processor with SSE2: the Julia set 8 pixels
// per vector, the blur's far rows 16 pixels at a time.
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
#include "zoomblur_sse2.inc"
#include "zoomblur_lanes.inc"
#include "expand_lanes.inc"
}  // namespace ukvo2::sse2
