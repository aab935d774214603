// The frame-rate title: "Kvo 58.31 fps", every two seconds.
#pragma once

#include <cstdint>
#include <string>

namespace ukvo2 {

// Frame counting for the title: Start at start-up, then Count once per frame.
// Count returns true and sets `title` ("Kvo 58.31 fps") when more than two
// seconds have passed since the last title; the caller then shows it and
// calls Start again with a fresh clock reading. Elapsed time is measured
// across the wrap of the 32-bit clock.
struct FrameRate {
    uint32_t lastMs;
    double lastSeconds;
    int32_t frames;
};
void StartFrameRate(FrameRate& rate, uint32_t nowMs);
bool CountFrame(FrameRate& rate, uint32_t nowMs, std::string& title);

}  // namespace ukvo2
