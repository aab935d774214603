// The kernel set for WebAssembly SIMD128: the Julia set 8 pixels per vector,
// the blur 16 pixels at a time. A module built with it loads only where
// SIMD128 is supported, so the set always runs.
#include <wasm_simd128.h>

#include <cstddef>
#include <cstdint>

#include "kernels/kernel_set.h"

namespace ukvo2::simd128 {

namespace {
// SIMD128 has no 16-bit high-half multiply: the high halves of the 32-bit
// products.
inline v128_t MulHigh16(v128_t a, v128_t b) {
    return wasm_i16x8_shuffle(wasm_i32x4_extmul_low_i16x8(a, b), wasm_i32x4_extmul_high_i16x8(a, b),
                              1, 3, 5, 7, 9, 11, 13, 15);
}
}  // namespace

#define KVO_LANES 8
#define KVO_MULHI(a, b) ((VecS)MulHigh16((v128_t)(a), (v128_t)(b)))
#define KVO_ANY_LANE(v) wasm_v128_any_true((v128_t)(v))
#include "kernels/lanes/julia_lanes.inc"
#include "kernels/lanes/julia_band.inc"
#include "kernels/wasm/zoomblur_simd128.inc"
#include "kernels/lanes/zoomblur_lanes.inc"

extern const KernelSet Kernels = {"simd128", RenderJulia, ZoomBlur, nullptr};

}  // namespace ukvo2::simd128
