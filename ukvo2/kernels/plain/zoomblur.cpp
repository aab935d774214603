// The zoom blur, written plainly: the reference that faster kernels are
// checked against.
#include <cstddef>

#include "kernels/kernel_set.h"

namespace ukvo2::plain {

namespace {

// Rewrites the pixel at (x, y) from the sample at the 16.16 position (X, Y).
// Samples of weight 0 are not read: at a centre on the last row or column
// they would lie outside the frame.
inline void BlurPixel(uint8_t* pixels, size_t width, uint32_t x, uint32_t y,
                      uint32_t X, uint32_t Y) {
    const size_t sx = X >> 16;
    const size_t sy = Y >> 16;
    const uint32_t fx = (X >> 8) & 255;
    const uint32_t fy = (Y >> 8) & 255;
    const uint8_t* row0 = pixels + sy * width;
    const uint8_t* row1 = row0 + width;

    const uint32_t top = row0[sx] * (256 - fx) + (fx ? row0[sx + 1] * fx : 0);
    uint32_t bottom = 0;
    if (fy) bottom = row1[sx] * (256 - fx) + (fx ? row1[sx + 1] * fx : 0);

    uint8_t& own = pixels[y * width + x];
    const uint32_t sum = top * 31 * (256 - fy) + bottom * 31 * fy + own * 65536u;
    own = static_cast<uint8_t>(sum >> 21);
}

// One row: the left sweep from the centre column down to column 1, then the
// right sweep from the column after the centre to the last.
inline void BlurRow(uint8_t* pixels, uint32_t width, uint32_t cx, uint32_t d,
                    uint32_t y, uint32_t Y) {
    uint32_t X = cx << 16;
    for (uint32_t x = cx; x >= 1; --x, X -= d) BlurPixel(pixels, width, x, y, X, Y);
    X = (cx << 16) + d;
    for (uint32_t x = cx + 1; x < width; ++x, X += d) BlurPixel(pixels, width, x, y, X, Y);
}

}  // namespace

void ZoomBlur(uint8_t* pixels, int32_t width, int32_t height, int32_t cx,
              int32_t cy, uint32_t d) {
    const uint32_t w = static_cast<uint32_t>(width);
    const uint32_t ucx = static_cast<uint32_t>(cx);
    // The centre row and the rows above it, from the centre up.
    uint32_t Y = static_cast<uint32_t>(cy) << 16;
    for (int32_t y = cy; y >= 0; --y, Y -= d) BlurRow(pixels, w, ucx, d, y, Y);
    // The rows below, down to the last row but one.
    Y = (static_cast<uint32_t>(cy) << 16) + d;
    for (int32_t y = cy + 1; y <= height - 2; ++y, Y += d) BlurRow(pixels, w, ucx, d, y, Y);
}

}  // namespace ukvo2::plain
