// The fast kernels for WebAssembly SIMD128: the Julia set 8 pixels per
// vector, the blur sixteen pixels at a time.
#include <wasm_simd128.h>

#include <cstddef>
#include <cstdint>

#include "kernels.h"

#define BLOCK_W 4
#define BLOCK_H 2
#define MULHI(a, b) ((VecS)MulHigh16((v128_t)(a), (v128_t)(b)))
#define ANY_LANE(v) wasm_v128_any_true((v128_t)(v))

namespace ukvo2::simd128 {

namespace {
// SIMD128 has no 16-bit high-half multiply: the high halves of the 32-bit
// products.
inline v128_t MulHigh16(v128_t a, v128_t b) {
    return wasm_i16x8_shuffle(wasm_i32x4_extmul_low_i16x8(a, b), wasm_i32x4_extmul_high_i16x8(a, b),
                              1, 3, 5, 7, 9, 11, 13, 15);
}
}  // namespace

#include "julia_lanes.inc"
#include "zoomblur_simd128.inc"
#include "zoomblur_lanes.inc"
#include "expand_lanes.inc"
}  // namespace ukvo2::simd128
