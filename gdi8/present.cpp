// ExpandFrame, StretchFrame, FitFrame and the pace of frames.
#include "present.h"

#include <cstring>
#include <vector>

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

namespace {

// The frame's column or row nearest the centre of pixel i of n across a
// frame of `size`: floor((i + 1/2) x size / n).
int Nearest(int i, int size, int n) {
    return static_cast<int>((2 * static_cast<int64_t>(i) + 1) * size / (2 * static_cast<int64_t>(n)));
}

}  // namespace

void StretchFrame(const uint8_t* pixels, int width, int height, const uint32_t table[256],
                  uint32_t* out, int outWidth, int outHeight, size_t outStride) {
    std::vector<int> columns(static_cast<size_t>(outWidth));
    for (int x = 0; x < outWidth; ++x) columns[static_cast<size_t>(x)] = Nearest(x, width, outWidth);
    const size_t rowBytes = static_cast<size_t>(outWidth) * sizeof(uint32_t);
    int last = -1;
    for (int y = 0; y < outHeight; ++y, out += outStride) {
        const int row = Nearest(y, height, outHeight);
        if (row == last) {
            std::memcpy(out, out - outStride, rowBytes);
            continue;
        }
        const uint8_t* from = pixels + static_cast<size_t>(row) * static_cast<size_t>(width);
        for (int x = 0; x < outWidth; ++x) out[x] = table[from[columns[static_cast<size_t>(x)]]];
        last = row;
    }
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

Pace StartPace(int hertz, double now) {
    if (hertz <= 1 || hertz > 1000) hertz = 60;
    return Pace{1.0 / hertz, now};
}

double PaceDelay(Pace& pace, double now) {
    pace.next += pace.period;
    if (pace.next < now) pace.next = now;  // late: the pace starts again here
    return pace.next - now;
}

}  // namespace gdi8
