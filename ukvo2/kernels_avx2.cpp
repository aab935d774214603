// The fast kernels for processors with AVX2: the Julia set 16 pixels per
// vector, the blur's far rows 32 pixels at a time.
#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "kernels.h"

#define BLOCK_W 4
#define BLOCK_H 4
#define MULHI(a, b) ((VecS)_mm256_mulhi_epi16((__m256i)(a), (__m256i)(b)))
#define ANY_LANE(v) (!_mm256_testz_si256((__m256i)(v), (__m256i)(v)))

namespace ukvo2::avx2 {
#include "julia_lanes.inc"
#include "zoomblur_wide_avx2.inc"
#include "zoomblur_lanes.inc"
#include "expand_lanes.inc"
}  // namespace ukvo2::avx2
