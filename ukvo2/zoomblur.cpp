// ZoomBlur: checks and clamps the arguments, computes the step and runs the
// kernel.
#include <cmath>
#include <cstdlib>

#include "extended/extended.h"
#include "frame.h"
#include "kernels/select.h"
#include "renderers.h"

namespace ukvo2 {

namespace steps {

// The blur's 16.16 step: (1 - factor) x 65536, truncated toward zero, clamped
// into 1 .. 65535. False for a NaN factor.
template <typename R>
bool ZoomStep(double factor, uint32_t& d) {
    if (std::isnan(factor)) return false;
    const R scaled = (R(1) - R(factor)) * R(65536);
    if (scaled < R(1)) {
        d = 1;
    } else if (scaled >= R(65535)) {
        d = 65535;
    } else {
        d = static_cast<uint32_t>(TruncToInt64(scaled));
    }
    return true;
}

#define KVO_BLUR_STEPS(R) template bool ZoomStep<R>(double factor, uint32_t & d);
KVO_FOR_EACH_EXTENDED(KVO_BLUR_STEPS)
#undef KVO_BLUR_STEPS

}  // namespace steps

namespace {

// The calling thread's scratch for the blur kernels. Plain data: a
// thread_local with a destructor would need the C++ runtime's thread exit
// hooks, which the WebAssembly build lacks; FreeBlurScratch frees it instead.
struct Scratch {
    uint32_t* buffer;
    size_t size;
};
thread_local Scratch scratch = {nullptr, 0};

}  // namespace

uint32_t* BlurScratch(size_t count) {
    if (count > scratch.size) {
        void* grown = std::realloc(scratch.buffer, count * sizeof(uint32_t));
        if (!grown) return nullptr;
        scratch.buffer = static_cast<uint32_t*>(grown);
        scratch.size = count;
    }
    return scratch.buffer;
}

void FreeBlurScratch() {
    std::free(scratch.buffer);
    scratch = {nullptr, 0};
}

bool ZoomStep(double factor, uint32_t& d) { return steps::ZoomStep<Extended>(factor, d); }

void ZoomBlur(uint8_t* pixels, int32_t width, int32_t height, int32_t cx,
              int32_t cy, double factor) {
    // 16.16 positions cover at most 65536 pixels in either direction.
    if (width < 1 || height < 1 || width > 65536 || height > 65536) return;
    uint32_t d;
    if (!ZoomStep(factor, d)) return;
    cx = cx < 0 ? 0 : (cx > width - 1 ? width - 1 : cx);
    cy = cy < 0 ? 0 : (cy > height - 1 ? height - 1 : cy);
    ChosenKernels().blur(pixels, width, height, cx, cy, d);
}

void ZoomBlur(int32_t cx, int32_t cy, double factor) {
    ZoomBlur(Pixels, Width, Height, cx, cy, factor);
}

}  // namespace ukvo2
