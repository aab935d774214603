// Indexed-colour PNG output.
#pragma once

#include <cstdint>
#include <cstdio>

namespace imageio {

struct Rgb {
    uint8_t red, green, blue;
};

// Writes a width x height image of palette indices (rows from the top, no
// gaps) as an 8-bit indexed-colour PNG whose colour table is the `count`
// colours (1 .. 256) of `colours`. Returns false if libpng or the stream
// reports an error.
bool WriteIndexedPng(std::FILE* file, const uint8_t* pixels, int32_t width, int32_t height,
                     const Rgb* colours, int count);

}  // namespace imageio
