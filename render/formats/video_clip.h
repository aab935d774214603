// A clip of the animation as video, through FFmpeg's libraries.
#pragma once

#include <cstdint>
#include <cstdio>

#include "palette.h"

namespace render {

struct RenderOptions;

// Write the clip that the options ask for, the frames at the readings
// ClipFrameTime(from, fps, i) below `to` (from < to): as H.264 in MP4, or
// VP9 in WebM. Exactly fps frames a second, frame i at i / fps s, yuv420p in
// BT.709's colours, limited range (FrameToYuv420), as the stream states; an
// MP4's index (moov) before its frames (mdat), so that it plays as it loads,
// for which `file`'s descriptor must be open for reading too. The
// frames are rendered and converted on ClipThreads(threads) threads, and the
// encoder runs as many. Shows a progress bar when stderr is a terminal. Needs
// BuildPath. The colours are `palette`'s. Return false, with errno telling
// why where the system knows, if the encoder or the stream fails.
bool WriteMp4Clip(std::FILE* file, const RenderOptions& options,
                  const ukvo2::PaletteEntry (&palette)[256]);
bool WriteWebmClip(std::FILE* file, const RenderOptions& options,
                   const ukvo2::PaletteEntry (&palette)[256]);

}  // namespace render
