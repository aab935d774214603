// One frame as a function of the millisecond clock: the Julia parameter, the
// blur centre, and the frame they make.
#include "frame.h"

#include "clock/clock.h"
#include "extended/elementary.h"
#include "extended/extended.h"
#include "extended/numeric.h"
#include "renderers.h"

namespace ukvo2 {

namespace steps {

// The Julia parameter at clock reading t, on the path given.
template <typename R>
Complex JuliaParameter(uint32_t t, const Complex* path) {
    // One tick is 25 ms; a segment of the path takes 20 ticks, and the 300
    // segments make a loop of 150 s.
    const uint32_t k = t / 25;
    const uint32_t s = (k / 20) % 300;
    const uint32_t f = k % 20;
    const Complex& a = path[s];
    const Complex& b = path[s + 1];
    constexpr R twentieth = Ratio<R>(5, 100), amplitude = Ratio<R>(3, 100);
    constexpr R rateRe = Ratio<R>(16, 1000), rateIm = Ratio<R>(13, 1000);
    const R along = R(f), back = R(20 - f);
    double cRe = ToDouble((along * R(b.re) + back * R(a.re)) * twentieth);
    double cIm = ToDouble((along * R(b.im) + back * R(a.im)) * twentieth);
    // A slow wobble about the path.
    cRe = ToDouble(R(cRe) + Sine(R(k) * rateRe) * amplitude);
    cIm = ToDouble(R(cIm) + Cosine(R(k) * rateIm) * amplitude);
    return {cRe, cIm};
}

// The blur centre: it sweeps over the middle 60% of the frame each way.
template <typename R>
Centre BlurCentre(uint32_t t2, uint32_t t3, int32_t width, int32_t height) {
    constexpr R rateX = Ratio<R>(17, 10000), rateY = Ratio<R>(23, 10000);
    constexpr R swing = Ratio<R>(3, 10), middle = R(0.5);
    return {RoundToInt32((Sine(R(t2) * rateX) * swing + middle) * R(width)),
            RoundToInt32((Cosine(R(t3) * rateY) * swing + middle) * R(height))};
}

#define KVO_FRAME_STEPS(R)                                                   \
    template Complex JuliaParameter<R>(uint32_t t, const Complex* path);     \
    template Centre BlurCentre<R>(uint32_t t2, uint32_t t3, int32_t width, \
                                  int32_t height);
KVO_FOR_EACH_EXTENDED(KVO_FRAME_STEPS)
#undef KVO_FRAME_STEPS

}  // namespace steps

uint8_t Pixels[FrameBytes];

Complex JuliaParameter(uint32_t t) { return JuliaParameter(t, Path); }

Complex JuliaParameter(uint32_t t, const Complex (&path)[PathPoints]) {
    return steps::JuliaParameter<Extended>(t, path);
}

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
