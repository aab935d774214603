// RenderJulia: converts the parameter to fixed point and runs the kernel.
#include "extended/numeric.h"
#include "frame.h"
#include "kernels/kernels.h"
#include "renderers.h"

namespace ukvo2 {

void RenderJulia(uint8_t* pixels, int32_t width, int32_t height,
                 int32_t maxIter, double cRe, double cIm) {
    if (width < 1 || height < 2) return;
    // x 1024 is exact in double; only the rounding matters.
    const int32_t cre = RoundToInt32(cRe * 1024.0);
    const int32_t cim = RoundToInt32(cIm * 1024.0);
    ChosenKernels().julia(pixels, width, height, maxIter, cre, cim);
}

void RenderJulia(int32_t maxIter, double cRe, double cIm) {
    RenderJulia(Pixels, Width, Height, maxIter, cRe, cIm);
}

}  // namespace ukvo2
