// ExpandFrame and its plain reference.
#include "present.h"

#include "kernels.h"

namespace ukvo2 {

void plain::ExpandFrame(const uint8_t* pixels, size_t count, const uint32_t table[256],
                        uint32_t* out) {
    for (size_t k = 0; k < count; ++k) out[k] = table[pixels[k]];
}

void ExpandFrame(const uint8_t* pixels, size_t count, const uint32_t table[256],
                 uint32_t* out) {
    ChosenKernels().expand(pixels, count, table, out);
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

}  // namespace ukvo2
