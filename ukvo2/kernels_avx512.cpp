// The fast kernels for processors with AVX-512 (F and BW): the Julia set 32
// pixels per vector.
#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "kernels.h"

#define BLOCK_W 8
#define BLOCK_H 4
#define JULIA_MASKS 1
#define MULHI(a, b) ((VecS)_mm512_mulhi_epi16((__m512i)(a), (__m512i)(b)))
#define ANY_LANE(v) (_mm512_test_epi16_mask((__m512i)(v), (__m512i)(v)) != 0)

namespace ukvo2::avx512 {
#include "julia_lanes.inc"
#include "zoomblur_avx2.inc"
#include "zoomblur_lanes.inc"
#include "expand_lanes.inc"
}  // namespace ukvo2::avx512
