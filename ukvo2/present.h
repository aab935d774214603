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

}  // namespace ukvo2
