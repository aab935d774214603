// The Julia renderer, written plainly: the reference that faster kernels are
// checked against.
#include <cstddef>

#include "kernels/kernel_set.h"

namespace ukvo2::plain {

namespace {

// 32-bit arithmetic that wraps instead of overflowing. Inside the design no
// result wraps, so these give exactly the signed results; outside it they
// keep the behaviour defined.
inline int32_t WrapAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t WrapMul(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

}  // namespace

void RenderJulia(uint8_t* pixels, int32_t width, int32_t height,
                 int32_t maxIter, int32_t cre, int32_t cim) {
    const int32_t halfH = height / 2;
    const int32_t halfW = width / 2;
    const int32_t step = 3000000 / (height < width ? height : width);
    size_t forward = 0;
    size_t backward = static_cast<size_t>(width) * static_cast<size_t>(height) - 1;

    for (int32_t j = 0; j < halfH; ++j) {
        const int32_t y0 = WrapMul(j - halfH, step) / 1024;
        for (int32_t i = width - 1; i >= 0; --i) {
            int32_t x = WrapMul(i - halfW, step) / 1024;
            int32_t y = y0;
            uint8_t value = 255;
            for (int32_t n = 0; n < maxIter; ++n) {
                // The squares are never negative in the design; as unsigned
                // they stay so outside it.
                const int32_t xx = static_cast<int32_t>(
                    static_cast<uint32_t>(WrapMul(x, x)) >> 10);
                const int32_t yy = static_cast<int32_t>(
                    static_cast<uint32_t>(WrapMul(y, y)) >> 10);
                if (xx + yy > 2048) {
                    value = static_cast<uint8_t>(4 * static_cast<uint32_t>(n));
                    break;
                }
                y = WrapAdd(WrapMul(x, y) / 512, cim);
                x = WrapAdd(xx - yy, cre);
            }
            pixels[forward++] = value;
            pixels[backward--] = value;
        }
    }
}

}  // namespace ukvo2::plain
