// A clip's frames rendered on several threads and handed on in order.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace render {

// One frame on its way to the file.
struct ClipFrame {
    uint64_t index = 0;            // its place in the clip
    std::vector<uint8_t> pixels;   // ukvo2::FrameBytes palette indices
    std::vector<uint8_t> made;     // what the format makes of them on the rendering thread
};

// Work on a frame: false, with errno telling why where the system knows,
// stops the clip.
using FrameWork = std::function<bool(ClipFrame&)>;

// The threads for a clip: `asked`, or every core when it is 0.
unsigned ClipThreads(unsigned asked);

// Renders the frames at ClipFrameTime(from, fps, i) below `to` (from < to)
// on `threads` threads (at least one), runs `prepare` (if any) on each in its
// rendering thread, and hands them in order to `take` on the calling thread,
// which shows the progress bar. Returns false as soon as `prepare` or `take`
// does, once every thread has stopped, with errno as the failing call left it.
bool RenderClip(uint32_t from, uint32_t to, uint32_t fps, unsigned threads,
                const FrameWork& prepare, const FrameWork& take);

}  // namespace render
