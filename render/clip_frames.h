// Which frames a clip holds and how long each is shown.
#pragma once

#include <cstdint>

namespace render {

// The number of frames of the clip from `from` to `to` (from < to) at `fps`
// frames per second: the count of i with from + floor(i x 1000 / fps) < to.
uint64_t ClipFrameCount(uint32_t from, uint32_t to, uint32_t fps);

// The clock reading of frame i: from + floor(i x 1000 / fps). For every frame
// of the clip it is below `to` and so fits 32 bits.
uint32_t ClipFrameTime(uint32_t from, uint32_t fps, uint64_t i);

// How long each frame is shown, in hundredths of a second: 100 / fps rounded
// to the nearest, halves to even (8 fps gives 12).
uint16_t ClipFrameDelay(uint32_t fps);

}  // namespace render
