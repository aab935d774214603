// Turning the frame of palette indices into 32-bit pixels, for presenters
// that show a true-colour surface (the SDL window) instead of an indexed
// bitmap.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ukvo2 {

// Writes table[pixels[k]] to out[k] for k < count: each palette index becomes
// the 32-bit pixel that the table gives for it. out must not overlap pixels.
void ExpandFrame(const uint8_t* pixels, size_t count, const uint32_t table[256],
                 uint32_t* out);

// A box in an area, from its top left corner.
struct Box {
    int x, y, width, height;
};

// The largest box of the frame's aspect (frameWidth : frameHeight) that fits
// in an area of areaWidth x areaHeight, centred; the rest of the area is for
// black bars. Sizes are cut toward zero, so the box never leaves the area;
// an area too thin for a whole pixel of the other side gets an empty box.
// Areas up to 65535 on a side.
Box FitFrame(int areaWidth, int areaHeight, int frameWidth, int frameHeight);

}  // namespace ukvo2
