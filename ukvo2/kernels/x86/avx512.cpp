// The kernel set for processors with AVX-512 (F and BW): the Julia set 32
// pixels per vector, its running lanes in a mask register; the blur 64
// pixels at a time.
//
// The build compiles this file twice: with -mavx512f -mavx512bw for the
// program, and with KVO_AVX512_EMULATED defined for the tests and
// benchmarks, on SIMDe's portable code that stands in for the instructions
// (the set "avx512-emulated", which any x86 processor runs, bit for bit the
// same, and slowly).
#ifdef KVO_AVX512_EMULATED
#include "kernels/x86/avx512_simde.h"
#define KVO_AVX512_SET avx512_emulated
#define KVO_AVX512_NAME "avx512-emulated"
#define KVO_AVX512_RUNS nullptr
#else
#include <immintrin.h>
#define KVO_AVX512_SET avx512
#define KVO_AVX512_NAME "avx512"
#define KVO_AVX512_RUNS CpuRunsAvx512
#endif

#include <cstddef>
#include <cstdint>

#include "kernels/cpu_x86.h"
#include "kernels/kernel_set.h"

namespace ukvo2::KVO_AVX512_SET {

#define KVO_LANES 32
#include "kernels/lanes/julia_lanes.inc"
#include "kernels/x86/julia_band_avx512.inc"
#include "kernels/x86/zoomblur_avx512.inc"
// The sweeps apart from the 512-bit chunk code: 12 % faster blur on a Zen 4.
#define KVO_SWEEP_OUT_OF_LINE
#include "kernels/lanes/zoomblur_lanes.inc"

extern const KernelSet Kernels = {KVO_AVX512_NAME, RenderJulia, ZoomBlur, KVO_AVX512_RUNS};

}  // namespace ukvo2::KVO_AVX512_SET
