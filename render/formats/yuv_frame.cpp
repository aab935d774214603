#include "yuv_frame.h"

#include <algorithm>
#include <cmath>

namespace render {

namespace {

// BT.709's luma weights.
constexpr double Kr = 0.2126, Kb = 0.0722, Kg = 1 - Kr - Kb;

uint8_t Round(double v) { return static_cast<uint8_t>(std::nearbyint(std::clamp(v, 0.0, 255.0))); }

// Weights 1, 2, 1 over the columns left, x and x + 1 of two rows, then the
// mean of the eight, offset to 128 and rounded.
uint8_t Chroma(const double (&difference)[256], const uint8_t* a, const uint8_t* b, int32_t left,
               int32_t x) {
    const double sum = difference[a[left]] + 2 * difference[a[x]] + difference[a[x + 1]] +
                       difference[b[left]] + 2 * difference[b[x]] + difference[b[x + 1]];
    return Round(128 + sum / 8);
}

}  // namespace

YuvPalette MakeYuvPalette(const ukvo2::PaletteEntry (&palette)[256]) {
    YuvPalette colours;
    for (int i = 0; i < 256; ++i) {
        const double r = palette[i].red, g = palette[i].green, b = palette[i].blue;
        const double luma = Kr * r + Kg * g + Kb * b;
        colours.luma[i] = Round(16 + 219 * luma / 255);
        colours.blueDifference[i] = 224 * (b - luma) / (2 * (1 - Kb) * 255);
        colours.redDifference[i] = 224 * (r - luma) / (2 * (1 - Kr) * 255);
    }
    return colours;
}

void FrameToYuv420(const YuvPalette& colours, const uint8_t* pixels, int32_t width,
                   int32_t height, uint8_t* y, uint8_t* cb, uint8_t* cr) {
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (size_t n = 0; n < count; ++n) y[n] = colours.luma[pixels[n]];
    for (int32_t row = 0; row < height / 2; ++row) {
        const uint8_t* a = pixels + static_cast<size_t>(2 * row) * static_cast<size_t>(width);
        const uint8_t* b = a + width;
        const size_t out = static_cast<size_t>(row) * static_cast<size_t>(width / 2);
        for (int32_t column = 0; column < width / 2; ++column) {
            const int32_t x = 2 * column, left = x > 0 ? x - 1 : 0;
            cb[out + static_cast<size_t>(column)] = Chroma(colours.blueDifference, a, b, left, x);
            cr[out + static_cast<size_t>(column)] = Chroma(colours.redDifference, a, b, left, x);
        }
    }
}

}  // namespace render
