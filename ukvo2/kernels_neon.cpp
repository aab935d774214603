// The fast kernels for 64-bit ARM, where NEON is always there: the Julia set
// 8 pixels per vector, the blur sixteen pixels at a time.
#include <arm_neon.h>

#include <cstddef>
#include <cstdint>

#include "kernels.h"

#define BLOCK_W 4
#define BLOCK_H 2
// The high halves of the signed 16 x 16-bit products: the two widening
// multiplies' odd 16-bit halves.
#define MULHI(a, b)                                                                        \
    ((VecS)vuzp2q_s16(                                                                     \
        vreinterpretq_s16_s32(vmull_s16(vget_low_s16((int16x8_t)(a)), vget_low_s16((int16x8_t)(b)))), \
        vreinterpretq_s16_s32(vmull_high_s16((int16x8_t)(a), (int16x8_t)(b)))))
#define ANY_LANE(v) (vmaxvq_u16((uint16x8_t)(v)) != 0)

namespace ukvo2::neon {
#include "julia_lanes.inc"
#include "zoomblur_neon.inc"
#include "zoomblur_lanes.inc"
#include "expand_lanes.inc"
}  // namespace ukvo2::neon
