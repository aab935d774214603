// One frame as a function of the millisecond clock.
#include <utility>

#include "numeric.h"
#include "ukvo2.h"

namespace ukvo2 {

uint8_t Pixels[FrameBytes];

namespace {
std::function<uint32_t()> DrivenClock;
}

uint32_t ReadClock() { return DrivenClock ? DrivenClock() : SystemClock(); }

void SetClock(std::function<uint32_t()> clock) { DrivenClock = std::move(clock); }

Complex JuliaParameter(uint32_t t) {
    // One tick is 25 ms; a segment of the path takes 20 ticks, and the 300
    // segments make a loop of 150 s.
    const uint32_t k = t / 25;
    const uint32_t s = (k / 20) % 300;
    const uint32_t f = k % 20;
    const Complex& a = Path[s];
    const Complex& b = Path[s + 1];
    const long double along = f, back = 20 - f;
    double cRe = static_cast<double>((along * b.re + back * a.re) * 0.05L);
    double cIm = static_cast<double>((along * b.im + back * a.im) * 0.05L);
    // A slow wobble about the path.
    cRe = static_cast<double>(cRe + SinX(k * 0.016L) * 0.03L);
    cIm = static_cast<double>(cIm + CosX(k * 0.013L) * 0.03L);
    return {cRe, cIm};
}

Centre BlurCentre(uint32_t t2, uint32_t t3, int32_t width, int32_t height) {
    // The centre sweeps over the middle 60% of the frame each way.
    return {RoundToInt32((SinX(t2 * 0.0017L) * 0.3L + 0.5L) * width),
            RoundToInt32((CosX(t3 * 0.0023L) * 0.3L + 0.5L) * height)};
}

namespace {

// One frame, reading the clock through `read`: once for the Julia set, then
// twice, after it is drawn, for the blur centre's column and row.
template <typename Read>
void DrawFrame(Read read) {
    const Complex c = JuliaParameter(read());
    RenderJulia(FrameIterations, c.re, c.im);
    const uint32_t t2 = read();
    const uint32_t t3 = read();
    const Centre centre = BlurCentre(t2, t3, Width, Height);
    ZoomBlur(centre.cx, centre.cy, BlurFactor);
}

}  // namespace

void RenderFrame() { DrawFrame(ReadClock); }

void RenderFrameAt(uint32_t t) {
    DrawFrame([t] { return t; });
}

}  // namespace ukvo2
