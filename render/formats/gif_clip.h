// A clip of the animation as a looping GIF.
#pragma once

#include <cstdint>
#include <cstdio>

#include "palette.h"

namespace render {

struct RenderOptions;

// Writes the clip that the options ask for, the frames at the readings
// ClipFrameTime(from, fps, i) below `to` (from < to), as a GIF, each frame
// exactly what RenderFrame draws at its reading, shown for
// ClipFrameDelay(fps). The frames are rendered and compressed on
// ClipThreads(threads) threads and written in order; the bytes are those of
// one encoder writing frame after frame, whatever the threads. The colour
// table is `palette`. Shows a progress bar when stderr is a terminal. Needs
// BuildPath. Returns false, with errno telling why where the system knows, if
// the encoder or the stream fails.
bool WriteGifClip(std::FILE* file, const RenderOptions& options,
                  const ukvo2::PaletteEntry (&palette)[256]);

}  // namespace render
