// The program's main loop, ukvo2::Run, on a window layer without a screen
// (stub_gdi8) and a driven clock: what reaches the window, and how the loop
// ends.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "run.h"
#include "stub_gdi8.h"
#include "test_util.h"
#include "ukvo2.h"

namespace {

std::string TempPath() {
    char pattern[] = "/tmp/kvo2-run-test.XXXXXX";
    const int fd = mkstemp(pattern);
    if (fd >= 0) close(fd);
    return pattern;
}

// The frame RenderFrame draws when its clock readings are t1, t2, t3.
std::string FrameFor(uint32_t t1, uint32_t t2, uint32_t t3) {
    const uint32_t readings[3] = {t1, t2, t3};
    int next = 0;
    ukvo2::SetClock([&] { return readings[next++ % 3]; });
    ukvo2::RenderFrame();
    ukvo2::SetClock(nullptr);
    char hash[32];
    std::snprintf(hash, sizeof hash, "%016llx",
                  static_cast<unsigned long long>(testutil::Fnv1a(ukvo2::Pixels, ukvo2::FrameBytes)));
    return hash;
}

// Clock time from reading a to reading b, across the wrap.
uint32_t Span(uint32_t a, uint32_t b) { return b - a; }

TEST(RunLoop, FramesAndTitlesKeepComingAcrossTheClockWrap) {
    ukvo2::BuildPath();
    // The clock starts a few seconds before 4294967295 and moves on a fixed
    // number of milliseconds at every reading; the run ends some seconds
    // past the wrap to 0.
    const struct { uint32_t start, step, secondsAfterWrap; } cases[] = {
        {4294967295u - 3000u, 25, 5},
        {4294967295u - 2100u, 13, 3},  // the first title falls just after the wrap
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("start " + std::to_string(c.start) + ", " + std::to_string(c.step) + " ms a reading");
        const uint32_t total = (4294967295u - c.start) + c.secondsAfterWrap * 1000u;
        const std::string path = TempPath();
        // The frames to show: enough for `total` ms at up to four readings a frame.
        const int frames = static_cast<int>(total / (4 * c.step)) + 1;
        EXPECT_EXIT(
            {
                stubgdi8::OpenFails = false;
                stubgdi8::FramesToClose = frames;
                stubgdi8::RecordPath = path;
                uint32_t now = c.start;
                ukvo2::SetClock([&] {
                    const uint32_t t = now;
                    now += c.step;
                    stubgdi8::Record.push_back("clock " + std::to_string(t));
                    return t;
                });
                ukvo2::Run();
            },
            ::testing::ExitedWithCode(0), "^$");
        const auto record = stubgdi8::ReadRecord(path);
        std::remove(path.c_str());
        // The window opens and gets the palette before any frame.
        std::vector<std::string> firstCalls;
        for (const auto& line : record)
            if (line.rfind("clock ", 0) != 0 && firstCalls.size() < 3) firstCalls.push_back(line);
        ASSERT_EQ(firstCalls.size(), 3u);
        EXPECT_EQ(firstCalls[0], "open Kvo 640x480");
        EXPECT_EQ(firstCalls[1], "palette 255");
        EXPECT_EQ(firstCalls[2].rfind("frame ", 0), 0u);

        // Every frame is the one RenderFrame gives for the last three
        // readings before it; the readings pass 4294967295 -> 0.
        std::vector<uint32_t> readings;
        int shown = 0, wrongFrames = 0;
        bool wrapped = false, framesAfterWrap = false;
        // Titles: the clock span each one covers, from the first reading
        // after the previous title (or the very first) to the last reading
        // before it, and the frames shown in that span.
        uint32_t spanStart = 0;
        bool spanOpen = false;
        int spanFrames = 0, titles = 0, titlesAcrossWrap = 0;
        const uint32_t frameTime = 5 * c.step;  // the most one frame and its count take
        for (const auto& line : record) {
            if (line.rfind("clock ", 0) == 0) {
                const uint32_t t = static_cast<uint32_t>(std::stoul(line.substr(6)));
                if (!readings.empty() && t < readings.back()) wrapped = true;
                readings.push_back(t);
                if (!spanOpen) spanStart = t;
                spanOpen = true;
            } else if (line.rfind("frame ", 0) == 0) {
                ++shown;
                framesAfterWrap |= wrapped;
                ++spanFrames;
                ASSERT_GE(readings.size(), 3u);
                const size_t n = readings.size();
                if (line.substr(6) != FrameFor(readings[n - 3], readings[n - 2], readings[n - 1]) &&
                    ++wrongFrames <= 3)
                    ADD_FAILURE() << "frame " << shown << " is not RenderFrame's for readings "
                                  << readings[n - 3] << ", " << readings[n - 2] << ", "
                                  << readings[n - 1];
            } else if (line.rfind("title ", 0) == 0) {
                ++titles;
                const uint32_t span = Span(spanStart, readings.back());
                titlesAcrossWrap += readings.back() < spanStart;
                // The last title time is kept as seconds in a double: at
                // readings near 2^32 ms a span of exactly two seconds can come
                // out a nanosecond longer, and count as past two seconds.
                EXPECT_GE(span, 2000u) << line;
                EXPECT_LE(span, 2000u + frameTime) << line;
                const std::string text = line.substr(6);
                // "Kvo N.NN fps"
                unsigned long whole = 0;
                char digits[3] = "";
                int end = 0;
                if (std::sscanf(text.c_str(), "Kvo %lu.%2[0-9] fps%n", &whole, digits, &end) != 2 ||
                    end != static_cast<int>(text.size()) || digits[1] == 0 || text[4] < '0' ||
                    text[4] > '9') {
                    ADD_FAILURE() << "title \"" << text << "\"";
                } else {
                    // The rate, truncated to two decimals.
                    const double rate = spanFrames * 1000.0 / span;
                    const double shownRate = whole + std::atoi(digits) / 100.0;
                    EXPECT_LE(shownRate, rate + 1e-9) << text << " for " << spanFrames
                                                      << " frames in " << span << " ms";
                    EXPECT_GT(shownRate, rate - 0.0101) << text << " for " << spanFrames
                                                        << " frames in " << span << " ms";
                }
                spanOpen = false;
                spanFrames = 0;
            }
        }
        EXPECT_EQ(shown, frames);
        EXPECT_EQ(wrongFrames, 0);
        EXPECT_TRUE(wrapped);
        EXPECT_TRUE(framesAfterWrap);
        EXPECT_EQ(titlesAcrossWrap, 1);
        // No stretch of more than two seconds and a frame without a title.
        EXPECT_LE(Span(spanStart, readings.back()), 2000u + frameTime);
        EXPECT_GE(titles, static_cast<int>(total / (2000 + frameTime)));
    }
}

TEST(RunLoop, AWindowThatCannotOpenGivesStatusOneAndOneLine) {
    const std::string texts[] = {"SDL_Init: No available video device", ""};
    for (const auto& text : texts) {
        stubgdi8::Record.clear();
        stubgdi8::OpenFails = true;
        stubgdi8::FailureText = text;
        ::testing::internal::CaptureStderr();
        const int status = ukvo2::Run();
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(status, 1);
        EXPECT_EQ(err, "kvo2: cannot open the window: " + text + "\n");
        // Nothing was shown or set on the window that is not there.
        EXPECT_EQ(stubgdi8::Record, std::vector<std::string>{"open Kvo 640x480"});
    }
    stubgdi8::OpenFails = false;
}

}  // namespace
