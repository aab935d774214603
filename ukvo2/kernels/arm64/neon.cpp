// The kernel set for 64-bit ARM, where NEON is always there: the Julia set 8
// pixels per vector, the blur 16 pixels at a time.
#include <arm_neon.h>

#include <cstddef>
#include <cstdint>

#include "kernels/kernel_set.h"

namespace ukvo2::neon {

#define KVO_LANES 8
// The high halves of the signed 16 x 16-bit products: the two widening
// multiplies' odd 16-bit halves.
#define KVO_MULHI(a, b)                                                                    \
    ((VecS)vuzp2q_s16(                                                                     \
        vreinterpretq_s16_s32(vmull_s16(vget_low_s16((int16x8_t)(a)), vget_low_s16((int16x8_t)(b)))), \
        vreinterpretq_s16_s32(vmull_high_s16((int16x8_t)(a), (int16x8_t)(b)))))
#define KVO_ANY_LANE(v) (vmaxvq_u16((uint16x8_t)(v)) != 0)
#include "kernels/lanes/julia_lanes.inc"
#include "kernels/lanes/julia_band.inc"
#include "kernels/arm64/zoomblur_neon.inc"
#include "kernels/lanes/zoomblur_lanes.inc"

extern const KernelSet Kernels = {"neon", RenderJulia, ZoomBlur, nullptr};

}  // namespace ukvo2::neon
