// A clip of the animation as a lossless animated WebP.
#pragma once

#include <cstdint>
#include <cstdio>

#include "palette.h"

namespace render {

struct RenderOptions;

// Writes the clip that the options ask for, the frames at the readings
// ClipFrameTime(from, fps, i) below `to` (from < to), as an animated WebP that
// loops for ever, each frame losslessly exactly what RenderFrame draws at its
// reading and shown until the next frame's reading: frame i ends at
// floor((i + 1) x 1000 / fps) ms. The frames are rendered and encoded on
// ClipThreads(threads) threads and written in order. Shows a progress bar
// when stderr is a terminal. The colours are `palette`'s. Needs BuildPath.
// Returns false, with errno telling why where the system knows, if the
// encoder or the stream fails, or the file would pass WebP's 4 GiB.
bool WriteWebpClip(std::FILE* file, const RenderOptions& options,
                   const ukvo2::PaletteEntry (&palette)[256]);

}  // namespace render
