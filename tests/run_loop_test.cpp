// The main loop, ukvo2::Run, on a window layer of the test's own (no screen)
// and a driven clock, across the wrap of the 32-bit clock.
#include <gtest/gtest.h>

#include "gdi8.h"
#include "run.h"
#include "test_util.h"
#include "clock/clock.h"
#include "frame.h"

namespace {

bool OpenFails = false;
int FramesLeft = 0;                 // ShowFrame ends the loop after these
std::vector<std::string> Record;    // what reached the window, in order
std::vector<uint32_t> Readings;     // every clock reading, in order
std::function<uint32_t()> Clock;
struct Closed {};

}  // namespace

// gdi8 without a screen. ShowFrame checks each frame against the one
// RenderFrame draws for the last three readings.
namespace gdi8 {
bool OpenWindow(const char* title, int width, int height) {
    Record.push_back("open " + std::string(title) + " " + std::to_string(width) + "x" + std::to_string(height));
    return !OpenFails;
}
const char* OpenFailure() { return "no screen"; }
int SetPalette(const ColourEntry* colours, int lastIndex) {
    const bool palette = testutil::Fnv1a(reinterpret_cast<const uint8_t*>(colours), 1024) == 6623681853937093905ull;
    Record.push_back("palette " + std::to_string(lastIndex) + (palette ? "" : " of other colours"));
    return 1;
}
int ShowFrame(const uint8_t* pixels) {
    const std::vector<uint8_t> shown(pixels, pixels + ukvo2::FrameBytes);
    const uint32_t* last = Readings.data() + Readings.size() - 3;
    ukvo2::SetClock([&last] { return *last++; });
    ukvo2::RenderFrame();
    ukvo2::SetClock(Clock);
    Record.push_back(std::equal(shown.begin(), shown.end(), ukvo2::Pixels) ? "frame" : "another frame");
    if (--FramesLeft == 0) throw Closed{};
    return 1;
}
void SetTitle(const char* text) { Record.push_back(text); }
void CloseWindow() {}
}  // namespace gdi8

namespace {

TEST(RunLoop, FramesAndTitlesKeepComingAcrossTheClockWrap) {
    // 30 ms a reading: a frame (three readings to draw it, one to count it)
    // takes 120 ms, so a title comes with the 17th frame (2040 ms, past two
    // seconds), and a fresh reading starts the next count. The clock wraps
    // to 0 three seconds in, within the second count.
    uint32_t now = 4294967295u - 3000;
    Clock = [&now] { Readings.push_back(now); now += 30; return Readings.back(); };
    ukvo2::SetClock(Clock);
    FramesLeft = 4 * 17 + 1;
    EXPECT_THROW(ukvo2::Run(), Closed);
    ukvo2::SetClock(nullptr);
    std::vector<std::string> want = {"open Kvo 640x480", "palette 255"};
    for (int title = 0; title < 4; ++title) want.insert(want.end(), 17, "frame"), want.push_back("Kvo 8.33 fps");
    want.push_back("frame");
    EXPECT_EQ(Record, want);
    EXPECT_LT(Readings.back(), Readings.front());  // wrapped
}

TEST(RunLoop, AWindowThatCannotOpenGivesStatusOneAndOneLine) {
    OpenFails = true;
    Record.clear();  // whatever an earlier test of this binary left
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(ukvo2::Run(), 1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "kvo2: cannot open the window: no screen\n");
    EXPECT_EQ(Record, std::vector<std::string>{"open Kvo 640x480"});  // nothing more
}

}  // namespace
