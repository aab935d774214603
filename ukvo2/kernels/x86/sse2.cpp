// The kernel set for any x86 processor with SSE2: the Julia set 8 pixels per
// vector, the blur 16 pixels at a time.
#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

#include "kernels/kernel_set.h"

namespace ukvo2::sse2 {

#define KVO_LANES 8
#define KVO_MULHI(a, b) ((VecS)_mm_mulhi_epi16((__m128i)(a), (__m128i)(b)))
#define KVO_ANY_LANE(v) (_mm_movemask_epi8((__m128i)(v)) != 0)
#include "kernels/lanes/julia_lanes.inc"
#include "kernels/lanes/julia_band.inc"
#include "kernels/x86/zoomblur_sse2.inc"
#include "kernels/lanes/zoomblur_lanes.inc"

// Every x86 processor that runs the program has SSE2.
extern const KernelSet Kernels = {"sse2", RenderJulia, ZoomBlur, nullptr};

}  // namespace ukvo2::sse2
