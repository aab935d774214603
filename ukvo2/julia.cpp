// RenderJulia: converts the parameter to fixed point and runs the kernel.
#include "extended/numeric.h"
#include "frame.h"
#include "kernels/select.h"
#include "renderers.h"

namespace ukvo2 {

// x 1024 is exact in double; only the rounding matters.
int32_t JuliaFixedPoint(double c) { return RoundToInt32(c * 1024.0); }

void RenderJulia(uint8_t* pixels, int32_t width, int32_t height,
                 int32_t maxIter, double cRe, double cIm) {
    if (width < 1 || height < 2) return;
    ChosenKernels().julia(pixels, width, height, maxIter, JuliaFixedPoint(cRe),
                          JuliaFixedPoint(cIm));
}

void RenderJulia(int32_t maxIter, double cRe, double cIm) {
    RenderJulia(Pixels, Width, Height, maxIter, cRe, cIm);
}

}  // namespace ukvo2
