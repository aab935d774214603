#include "clip_frames.h"

#include <cmath>

namespace render {

uint64_t ClipFrameCount(uint32_t from, uint32_t to, uint32_t fps) {
    // floor(i x 1000 / fps) < to - from  <=>  i x 1000 < (to - from) x fps,
    // so the count is the ceiling of (to - from) x fps / 1000.
    const uint64_t span = static_cast<uint64_t>(to - from) * fps;
    return (span + 999) / 1000;
}

uint32_t ClipFrameTime(uint32_t from, uint32_t fps, uint64_t i) {
    return static_cast<uint32_t>(from + i * 1000 / fps);
}

uint16_t ClipFrameDelay(uint32_t fps) {
    return static_cast<uint16_t>(std::nearbyint(100.0 / fps));
}

}  // namespace render
