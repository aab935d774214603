// The frame-rate text and the title rule, with a driven clock.
#include <gtest/gtest.h>

#include <limits>

#include "steps_for_tests.h"
#include "title.h"

namespace {

TEST(FloatToText, Cases) {
    using ukvo2::Extended;
    const auto decimal = ukvo2::Ratio<Extended>;  // the nearest extended value, as a literal
    const struct { Extended value; const char* text; } cases[] = {
        {0.5, "0.50"}, {10, "10.00"}, {100, "100.00"}, {1000, "1000.00"}, {1005.25, "1005.25"}, {0, "0.00"},
        {decimal(58317, 1000), "58.31"}, {decimal(29999, 1000), "29.99"}, {decimal(999, 1000), "0.99"},
        {decimal(9999999, 1000), "9999.99"},
        // Five frames in 2.262443438914027 s: 2.21 in extended precision, 2.20 in double.
        {Extended(5) / Extended(2.262443438914027), "2.21"}, {5 / 2.262443438914027, "2.20"},
        // 10000 and more: all the integer digits.
        {10000, "10000.00"}, {decimal(123456789, 1000), "123456.78"}, {4294967296.5, "4294967296.50"},
        // Outside any frame rate: defined all the same.
        {-3, "0.00"}, {std::numeric_limits<double>::quiet_NaN(), "0.00"},
        {std::numeric_limits<double>::infinity(), "18446744073709551615.00"},
    };
    for (const auto& c : cases) EXPECT_EQ(ukvo2::FloatToText(c.value), c.text) << ukvo2::ToDouble(c.value);
}

// Counts `frames` frames, `step` ms apart, from clock reading `start`,
// restarting the count at each title; returns "FRAME:TITLE" for each title.
std::vector<std::string> Titles(uint32_t start, uint32_t step, int frames) {
    ukvo2::FrameRate rate;
    ukvo2::StartFrameRate(rate, start);
    std::vector<std::string> titles;
    std::string title;
    for (int i = 0; i < frames; ++i) {
        start += step;
        if (ukvo2::CountFrame(rate, start, title))
            titles.push_back(std::to_string(i) + ":" + title), ukvo2::StartFrameRate(rate, start);
    }
    return titles;
}

TEST(FrameRateTitle, EveryTwoSecondsAndNotBefore) {
    using T = std::vector<std::string>;
    // 17 ms a frame: the first reading past two seconds is after 118 frames (2006 ms), across the wrap too.
    const T every = {"117:Kvo 58.82 fps", "235:Kvo 58.82 fps", "353:Kvo 58.82 fps", "471:Kvo 58.82 fps"};
    EXPECT_EQ(Titles(1000, 17, 500), every);
    EXPECT_EQ(Titles(4294967295u - 1000u, 17, 500), every);
    // Exactly two seconds is not past two seconds; truncated, not rounded: 3 frames in 2.1 s is 1.428...
    EXPECT_EQ(Titles(0, 1000, 2), T{});
    EXPECT_EQ(Titles(0, 1000, 3), T{"2:Kvo 1.00 fps"});
    EXPECT_EQ(Titles(0, 700, 4), T{"2:Kvo 1.42 fps"});
}

}  // namespace
