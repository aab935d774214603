// The frame-rate title: counting frames, and the rate as text.
#include "extended/extended_steps.h"
#include "ukvo2.h"

namespace ukvo2 {

std::string FloatToText(Extended value) { return steps::FloatToText(value); }

void StartFrameRate(FrameRate& rate, uint32_t nowMs) {
    rate.lastMs = nowMs;
    rate.lastSeconds = ToDouble(steps::Seconds<Extended>(nowMs, 0));
    rate.frames = 0;
}

bool CountFrame(FrameRate& rate, uint32_t nowMs, std::string& title) {
    rate.frames = static_cast<int32_t>(static_cast<uint32_t>(rate.frames) + 1);
    // A reading below the last one means the 32-bit clock has wrapped: it
    // stands for 2^32 ms more.
    const double elapsed = steps::Elapsed<Extended>(nowMs, rate.lastMs, rate.lastSeconds);
    if (!(elapsed > 2.0)) return false;
    title = "Kvo " + FloatToText(steps::FrameRateValue<Extended>(rate.frames, elapsed)) + " fps";
    return true;
}

}  // namespace ukvo2
