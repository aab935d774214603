// Kvo's frames as video samples: BT.709 Y'CbCr in limited range, 4:2:0.
#pragma once

#include <cstdint>

#include "ukvo2.h"

namespace render {

// Sets the colours that FrameToYuv420 converts: each entry's Y' (16 to 235)
// and its Cb, Cr (16 to 240) by BT.709's matrix, kept unrounded for chroma.
void SetYuvPalette(const ukvo2::PaletteEntry (&palette)[256]);

// Converts width x height palette indices (width and height even, rows
// without gaps) to the planes y (width x height), cb and cr (width / 2 x
// height / 2). Each Y' is its colour's; each chroma sample is sited as H.264
// and VP9 take it by default, on an even column and between two rows: the
// two rows' values over columns 2x - 1, 2x, 2x + 1 weighted 1, 2, 1 (column
// -1 read as column 0), rounded once, to nearest and ties to even.
void FrameToYuv420(const uint8_t* pixels, int32_t width, int32_t height, uint8_t* y,
                   uint8_t* cb, uint8_t* cr);

}  // namespace render
