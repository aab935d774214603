// Kvo's frames as video samples: BT.709 Y'CbCr in limited range, 4:2:0.
#pragma once

#include <cstdint>

#include "palette.h"

namespace render {

// A palette's colours as video samples: each entry's Y' (16 to 235), and
// its Cb - 128 and Cr - 128 (to 240) by BT.709's matrix, kept unrounded for
// the chroma samples, which mix several entries.
struct YuvPalette {
    uint8_t luma[256];
    double blueDifference[256];
    double redDifference[256];
};
YuvPalette MakeYuvPalette(const ukvo2::PaletteEntry (&palette)[256]);

// Converts width x height indices into `colours` (width and height even, rows
// without gaps) to the planes y (width x height), cb and cr (width / 2 x
// height / 2). Each Y' is its colour's; each chroma sample is sited as H.264
// and VP9 take it by default, on an even column and between two rows: the
// two rows' values over columns 2x - 1, 2x, 2x + 1 weighted 1, 2, 1 (column
// -1 read as column 0), rounded once, to nearest and ties to even.
void FrameToYuv420(const YuvPalette& colours, const uint8_t* pixels, int32_t width,
                   int32_t height, uint8_t* y, uint8_t* cb, uint8_t* cr);

}  // namespace render
