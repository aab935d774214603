// The frame-rate title: counting frames, and the rate as text.
#include "title.h"

#include "extended/extended.h"

namespace ukvo2 {

namespace steps {

// The value as text, two decimals truncated.
template <typename R>
std::string FloatToText(R value) {
    if (!(value >= R(0))) value = R(0);  // negative or NaN
    if (value >= R(0x1p64)) return "18446744073709551615.00";
    // Every intermediate value stays in extended precision; the truncations
    // cut toward zero whatever the rounding mode.
    const uint64_t whole = TruncToUInt64(value);
    const R fraction = value - R(whole);
    const int first = static_cast<int>(TruncToInt64(fraction * R(10)));
    const int second = static_cast<int>(TruncToInt64((fraction * R(10) - R(first)) * R(10)));
    std::string text = std::to_string(whole);
    text += '.';
    text += static_cast<char>('0' + first);
    text += static_cast<char>('0' + second);
    return text;
}

// Milliseconds as seconds; a reading below `since` stands for one 2^32 ms
// later (the clock has wrapped).
template <typename R>
R Seconds(uint32_t ms, uint32_t since) {
    const uint64_t unwrapped = ms >= since ? ms : ms + (uint64_t{1} << 32);
    return R(unwrapped) * Ratio<R>(1, 1000);
}

// Seconds since the reading lastMs, which gave lastSeconds.
template <typename R>
double Elapsed(uint32_t nowMs, uint32_t lastMs, double lastSeconds) {
    return ToDouble(Seconds<R>(nowMs, lastMs) - R(lastSeconds));
}

// The title's rate: frames over the elapsed seconds.
template <typename R>
R FrameRateValue(int32_t frames, double elapsed) {
    return R(frames) / R(elapsed);
}

#define KVO_TITLE_STEPS(R)                                                          \
    template std::string FloatToText<R>(R value);                                   \
    template R Seconds<R>(uint32_t ms, uint32_t since);                             \
    template double Elapsed<R>(uint32_t nowMs, uint32_t lastMs, double lastSeconds); \
    template R FrameRateValue<R>(int32_t frames, double elapsed);
KVO_FOR_EACH_EXTENDED(KVO_TITLE_STEPS)
#undef KVO_TITLE_STEPS

}  // namespace steps

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
