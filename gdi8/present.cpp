// ExpandFrame and FitFrame.
#include "present.h"

namespace gdi8 {

// Eight look-ups per round, their indices read in one 64-bit load: the
// look-ups then need no load of their own.
void ExpandFrame(const uint8_t* pixels, size_t count, const uint32_t table[256],
                 uint32_t* out) {
    size_t k = 0;
    for (; k + 8 <= count; k += 8) {
        uint64_t v;
        __builtin_memcpy(&v, pixels + k, 8);
        for (int b = 0; b < 8; ++b) out[k + b] = table[(v >> (8 * b)) & 255];
    }
    for (; k < count; ++k) out[k] = table[pixels[k]];
}

Box FitFrame(int areaWidth, int areaHeight, int frameWidth, int frameHeight) {
    Box box{0, 0, areaWidth, areaHeight};
    if (areaWidth * frameHeight > areaHeight * frameWidth)
        box.width = areaHeight * frameWidth / frameHeight;  // wider: bars left and right
    else
        box.height = areaWidth * frameHeight / frameWidth;  // taller: bars above and below
    box.x = (areaWidth - box.width) / 2;
    box.y = (areaHeight - box.height) / 2;
    return box;
}

}  // namespace gdi8
