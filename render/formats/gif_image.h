// Animated GIF output: full 8-bit frames over one colour table, looping for
// ever. The bytes depend only on the frames, the delays and the palette.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "palette.h"

struct GifFileType;  // giflib's encoder state

namespace render {

// Writes the GIF89a header, a width x height screen whose global colour table
// is `palette`, and the extension that makes viewers loop for ever. Returns
// the encoder to pass to AddGifFrame and EndGif, or null if giflib or the
// stream fails.
GifFileType* BeginGif(std::FILE* file, int32_t width, int32_t height,
                      const ukvo2::PaletteEntry (&palette)[256]);

// Appends one frame covering the whole screen (width x height palette
// indices, rows from the top, no gaps), shown for `delay` hundredths of a
// second. The frame has no transparent colour and is not disposed, so it
// decodes to exactly these indices. giflib may rewrite the buffer with the
// same values. Returns false if giflib or the stream fails.
bool AddGifFrame(GifFileType* gif, uint8_t* pixels, uint16_t delay);

// The bytes that AddGifFrame appends for the frame to a stream begun by
// BeginGif with the same width, height and palette, into `bytes`: the frame
// is encoded on its own, so that frames encode side by side on several
// threads. Returns false if giflib fails.
bool EncodeGifFrame(uint8_t* pixels, int32_t width, int32_t height,
                    const ukvo2::PaletteEntry (&palette)[256], uint16_t delay,
                    std::vector<uint8_t>& bytes);

// Writes the trailer and frees the encoder, whether or not an earlier call
// failed. Returns false if anything failed.
bool EndGif(GifFileType* gif);

}  // namespace render
