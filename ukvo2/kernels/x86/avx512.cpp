// The kernel set for processors with AVX-512 (F and BW): the Julia set 32
// pixels per vector, its running lanes in a mask register; the blur 16
// pixels at a time.
#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "kernels/cpu_x86.h"
#include "kernels/kernels.h"

namespace ukvo2::avx512 {

#define KVO_LANES 32
#include "kernels/lanes/julia_lanes.inc"
#include "kernels/x86/julia_band_avx512.inc"
#include "kernels/x86/zoomblur_avx512.inc"
#include "kernels/lanes/zoomblur_lanes.inc"

extern const KernelSet Kernels = {"avx512", RenderJulia, ZoomBlur, CpuRunsAvx512};

}  // namespace ukvo2::avx512
