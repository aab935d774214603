// The frame-rate title: counting frames, and the rate as text.
#include <cmath>

#include "ukvo2.h"

namespace ukvo2 {

std::string FloatToText(long double value) {
    if (!(value >= 0)) value = 0;  // negative or NaN
    if (value >= 0x1p64L) return "18446744073709551615.00";
    // Casts truncate toward zero whatever the rounding mode; everything stays
    // in extended precision.
    const uint64_t whole = static_cast<uint64_t>(value);
    const long double fraction = value - static_cast<long double>(whole);
    const int first = static_cast<int>(fraction * 10);
    const int second = static_cast<int>((fraction * 10 - first) * 10);
    std::string text = std::to_string(whole);
    text += '.';
    text += static_cast<char>('0' + first);
    text += static_cast<char>('0' + second);
    return text;
}

void StartFrameRate(FrameRate& rate, uint32_t nowMs) {
    rate.lastMs = nowMs;
    rate.lastSeconds = static_cast<double>(nowMs * 0.001L);
    rate.frames = 0;
}

bool CountFrame(FrameRate& rate, uint32_t nowMs, std::string& title) {
    rate.frames = static_cast<int32_t>(static_cast<uint32_t>(rate.frames) + 1);
    // A reading below the last one means the 32-bit clock has wrapped: it
    // stands for 2^32 ms more.
    const long double now =
        (nowMs >= rate.lastMs ? nowMs : nowMs + 4294967296.0L) * 0.001L;
    const double elapsed = static_cast<double>(now - rate.lastSeconds);
    if (!(elapsed > 2.0)) return false;
    title = "Kvo " + FloatToText(rate.frames / static_cast<long double>(elapsed)) + " fps";
    return true;
}

}  // namespace ukvo2
