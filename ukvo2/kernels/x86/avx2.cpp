// The kernel set for processors with AVX2: the Julia set 16 pixels per
// vector, the blur 32 pixels at a time.
#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "kernels/cpu_x86.h"
#include "kernels/kernel_set.h"

namespace ukvo2::avx2 {

#define KVO_LANES 16
#define KVO_MULHI(a, b) ((VecS)_mm256_mulhi_epi16((__m256i)(a), (__m256i)(b)))
#define KVO_ANY_LANE(v) (!_mm256_testz_si256((__m256i)(v), (__m256i)(v)))
#include "kernels/lanes/julia_lanes.inc"
#include "kernels/lanes/julia_band.inc"
#include "kernels/x86/zoomblur_avx2.inc"
#include "kernels/lanes/zoomblur_lanes.inc"

extern const KernelSet Kernels = {"avx2", RenderJulia, ZoomBlur, CpuRunsAvx2};

}  // namespace ukvo2::avx2
