// The contract of a kernel set: the pixel loops of the two renderers, on
// arguments that RenderJulia and ZoomBlur have already converted and checked,
// and the sets they come in: the plain reference, and one set per
// instruction set, which must write the same bytes. Choosing among the sets
// is select.h's.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ukvo2 {

// Writes the Julia set of z -> z^2 + c, c = (cre + i cim) / 1024, into a
// width x height frame owned by the caller. Requires width >= 1, height >= 2.
// JuliaFixedPoint gives cre and cim from the parameter.
using JuliaKernel = void (*)(uint8_t* pixels, int32_t width, int32_t height,
                             int32_t maxIter, int32_t cre, int32_t cim);

// A coordinate of the Julia parameter in the kernels' fixed point: c x 1024
// rounded to nearest, ties to even, saturated into 32 bits; NaN gives 0.
int32_t JuliaFixedPoint(double c);

// Zoom-blurs a width x height frame in place about (cx, cy) with the 16.16
// step d. Requires 1 <= width, height <= 65536, 0 <= cx < width,
// 0 <= cy < height and 1 <= d <= 65535.
using BlurKernel = void (*)(uint8_t* pixels, int32_t width, int32_t height,
                            int32_t cx, int32_t cy, uint32_t d);

// One version of every kernel, and whether this processor runs it.
struct KernelSet {
    const char* name;  // "plain", "sse2", "avx2", "avx512", "neon" or "simd128"
    JuliaKernel julia;
    BlurKernel blur;
    bool (*runsHere)();  // null: every processor that runs the program
};

// Each set lives in the namespace of its name, as `Kernels`, beside its
// kernels. A build links the plain set and those of its processor family.
namespace plain {
void RenderJulia(uint8_t* pixels, int32_t width, int32_t height, int32_t maxIter,
                 int32_t cre, int32_t cim);
void ZoomBlur(uint8_t* pixels, int32_t width, int32_t height, int32_t cx, int32_t cy,
              uint32_t d);
extern const KernelSet Kernels;
}  // namespace plain

// A buffer of at least `count` 32-bit words for the blur kernels, the calling
// thread's own: kept until FreeBlurScratch and grown when a larger frame
// needs it; null when memory runs out.
uint32_t* BlurScratch(size_t count);

}  // namespace ukvo2
