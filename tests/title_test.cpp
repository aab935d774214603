// The frame-rate text and the title rule, with a driven clock.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ukvo2.h"

namespace {

TEST(FloatToText, Cases) {
    using ukvo2::Extended;
    const auto decimal = ukvo2::Ratio<Extended>;  // the nearest extended value, as a literal
    const struct { Extended value; const char* text; } cases[] = {
        {0.5, "0.50"},        {10, "10.00"},           {100, "100.00"},
        {1000, "1000.00"},     {1005.25, "1005.25"},   {decimal(58317, 1000), "58.31"},
        {decimal(29999, 1000), "29.99"},    {0, "0.00"},  {decimal(999, 1000), "0.99"},
        {decimal(9999999, 1000), "9999.99"},
        // Five frames in 2.262443438914027 s: 2.21 in extended precision,
        // where double precision would give 2.20.
        {Extended(5) / Extended(2.262443438914027), "2.21"},
        // 10000 and more: all the integer digits.
        {10000, "10000.00"},   {decimal(123456789, 1000), "123456.78"},
        {4294967296.5, "4294967296.50"},
        // Outside any frame rate: defined all the same.
        {-3, "0.00"},          {std::numeric_limits<double>::quiet_NaN(), "0.00"},
        {std::numeric_limits<double>::infinity(), "18446744073709551615.00"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ukvo2::FloatToText(c.value), c.text) << ukvo2::ToDouble(c.value);
    }
    EXPECT_EQ(ukvo2::FloatToText(5 / 2.262443438914027), "2.20");  // the double quotient
}

// Runs frames at the given clock readings (one reading per frame for the
// count, then one fresh reading after each title) and returns the titles.
struct Title {
    int frame;
    std::string text;
};
std::vector<Title> Titles(uint32_t start, uint32_t step, int frames) {
    ukvo2::FrameRate rate;
    ukvo2::StartFrameRate(rate, start);
    std::vector<Title> titles;
    uint32_t now = start;
    for (int i = 0; i < frames; ++i) {
        now += step;
        std::string title;
        if (ukvo2::CountFrame(rate, now, title)) {
            titles.push_back({i, title});
            ukvo2::StartFrameRate(rate, now);
        }
    }
    return titles;
}

TEST(FrameRateTitle, EveryTwoSecondsAndNotBefore) {
    // 17 ms a frame: the first reading past two seconds is at 2006 ms, after
    // 118 frames: 58.82 frames a second.
    const auto titles = Titles(1000, 17, 500);
    ASSERT_EQ(titles.size(), 4u);
    EXPECT_EQ(titles[0].frame, 117);
    EXPECT_EQ(titles[1].frame, 235);
    for (const auto& t : titles) EXPECT_EQ(t.text, "Kvo 58.82 fps");
    // Exactly two seconds is not past two seconds.
    EXPECT_TRUE(Titles(0, 1000, 2).empty());
    EXPECT_EQ(Titles(0, 1000, 3).size(), 1u);
    // Truncated, not rounded: 3 frames in 2.1 s is 1.428...
    const auto slow = Titles(0, 700, 4);
    ASSERT_EQ(slow.size(), 1u);
    EXPECT_EQ(slow[0].text, "Kvo 1.42 fps");
}

TEST(FrameRateTitle, KeepsComingAcrossTheClockWrap) {
    // Start 1 s before the 32-bit clock wraps to 0; the first title falls
    // after the wrap, and the rate is unchanged.
    const auto titles = Titles(4294967295u - 1000u, 17, 500);
    ASSERT_EQ(titles.size(), 4u);
    EXPECT_EQ(titles[0].frame, 117);
    EXPECT_EQ(titles[1].frame, 235);
    for (const auto& t : titles) EXPECT_EQ(t.text, "Kvo 58.82 fps");
}

}  // namespace
