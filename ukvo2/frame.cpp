// One frame as a function of the millisecond clock.
#include <utility>

#include "extended/extended_steps.h"
#include "ukvo2.h"

namespace ukvo2 {

uint8_t Pixels[FrameBytes];

namespace {
std::function<uint32_t()> DrivenClock;
}

uint32_t ReadClock() { return DrivenClock ? DrivenClock() : SystemClock(); }

void SetClock(std::function<uint32_t()> clock) { DrivenClock = std::move(clock); }

Complex JuliaParameter(uint32_t t) { return steps::JuliaParameter<Extended>(t, Path); }

Centre BlurCentre(uint32_t t2, uint32_t t3, int32_t width, int32_t height) {
    return steps::BlurCentre<Extended>(t2, t3, width, height);
}

Extended SinX(Extended x) { return steps::Sine(x); }

Extended CosX(Extended x) { return steps::Cosine(x); }

namespace {

// One frame into `pixels`, reading the clock through `read`: once for the
// Julia set, then twice, after it is drawn, for the blur centre's column and
// row.
template <typename Read>
void DrawFrame(uint8_t* pixels, Read read) {
    const Complex c = JuliaParameter(read());
    RenderJulia(pixels, Width, Height, FrameIterations, c.re, c.im);
    const uint32_t t2 = read();
    const uint32_t t3 = read();
    const Centre centre = BlurCentre(t2, t3, Width, Height);
    ZoomBlur(pixels, Width, Height, centre.cx, centre.cy, BlurFactor);
}

}  // namespace

void RenderFrame() { DrawFrame(Pixels, ReadClock); }

void RenderFrameAt(uint32_t t) { RenderFrameAt(t, Pixels); }

void RenderFrameAt(uint32_t t, uint8_t* pixels) {
    DrawFrame(pixels, [t] { return t; });
}

}  // namespace ukvo2
