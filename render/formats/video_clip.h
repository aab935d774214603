// A clip of the animation as video, through FFmpeg's libraries.
#pragma once

#include <cstdint>
#include <cstdio>

namespace render {

// The video kinds: H.264 in MP4, VP9 in WebM.
enum class Video { Mp4, Webm };

// Writes the clip of the frames at the readings ClipFrameTime(from, fps, i)
// below `to` (from < to) as `kind`: exactly fps frames a second, frame i at
// i / fps s, yuv420p in BT.709's colours, limited range (FrameToYuv420),
// as the stream states. The frames are rendered and converted on `threads`
// threads, and the encoder runs as many. Shows a progress bar when stderr is
// a terminal. Needs BuildPath and BuildPalette. Returns false, with errno
// telling why where the system knows, if the encoder or the stream fails.
bool WriteVideoClip(std::FILE* file, Video kind, uint32_t from, uint32_t to, uint32_t fps,
                    unsigned threads);

}  // namespace render
