// The pixel loops of the two renderers, on arguments that RenderJulia and
// ZoomBlur have already converted and checked. Each kernel has a plain
// reference version here; faster versions must write the same bytes.
#pragma once

#include <cstdint>

namespace ukvo2 {

// Writes the Julia set of z -> z^2 + c, c = (cre + i cim) / 1024, into a
// width x height frame owned by the caller. Requires width >= 1, height >= 2.
using JuliaKernel = void (*)(uint8_t* pixels, int32_t width, int32_t height,
                             int32_t maxIter, int32_t cre, int32_t cim);

// Zoom-blurs a width x height frame in place about (cx, cy) with the 16.16
// step d. Requires 1 <= width, height <= 65536, 0 <= cx < width,
// 0 <= cy < height and 1 <= d <= 65535.
using BlurKernel = void (*)(uint8_t* pixels, int32_t width, int32_t height,
                            int32_t cx, int32_t cy, uint32_t d);

namespace plain {
void RenderJulia(uint8_t* pixels, int32_t width, int32_t height,
                 int32_t maxIter, int32_t cre, int32_t cim);
void ZoomBlur(uint8_t* pixels, int32_t width, int32_t height, int32_t cx,
              int32_t cy, uint32_t d);
}  // namespace plain

// 32-bit arithmetic that wraps instead of overflowing. Inside the design no
// result wraps, so these give exactly the signed results; outside it they
// keep the behaviour defined.
inline int32_t WrapAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t WrapSub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
inline int32_t WrapMul(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

}  // namespace ukvo2
