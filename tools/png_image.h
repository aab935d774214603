// Indexed-colour PNG output.
#pragma once

#include <cstdint>
#include <cstdio>

#include "ukvo2.h"

namespace tools {

// Writes a width x height frame of palette indices (rows from the top, no
// gaps) as an 8-bit indexed-colour PNG whose colour table is `palette`.
// Returns false if libpng or the stream reports an error.
bool WriteIndexedPng(std::FILE* file, const uint8_t* pixels, int32_t width,
                     int32_t height, const ukvo2::PaletteEntry (&palette)[256]);

}  // namespace tools
