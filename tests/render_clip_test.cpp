// Clips from kvo2-render as a GIF decoder sees them: which frames, their
// indices, colour table, timing and looping; the same bytes on every run; the
// progress bar on a terminal; and a failing disk.
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "clip_frames.h"
#include "gif_clip.h"
#include "gif_reader.h"
#include "progress_bar.h"
#include "tool_runner.h"
#include "ukvo2.h"

namespace {

using namespace toolrunner;

std::vector<uint8_t> FrameAt(uint32_t t) {
    ukvo2::RenderFrameAt(t);
    return std::vector<uint8_t>(ukvo2::Pixels, ukvo2::Pixels + ukvo2::FrameBytes);
}

TEST(ClipFrames, CountsReadingsAndDelays) {
    const struct { uint32_t from, to, fps; uint64_t count; uint32_t last; } cases[] = {
        {0, 1000, 25, 25, 960},
        {0, 1001, 25, 26, 1000},
        {0, 1, 50, 1, 0},
        {0, 20, 50, 1, 0},         // 20 is not below 20
        {0, 21, 50, 2, 20},
        {10, 343, 3, 1, 10},       // 10 + floor(1000 / 3) = 343
        {10, 344, 3, 2, 343},
        {149800, 150300, 8, 4, 150175},
        {4294967000u, 4294967295u, 7, 3, 4294967285u},
        {4294967294u, 4294967295u, 50, 1, 4294967294u},
        {0, 4294967295u, 50, 214748365, 4294967280u},
        {0, 4294967295u, 1, 4294968, 4294967000u},
    };
    for (const auto& c : cases) {
        const uint64_t count = tools::ClipFrameCount(c.from, c.to, c.fps);
        EXPECT_EQ(count, c.count) << c.from << " " << c.to << " " << c.fps;
        EXPECT_EQ(tools::ClipFrameTime(c.from, c.fps, count - 1), c.last) << c.from;
        // The next reading would not be below `to`, even where it passes 2^32.
        EXPECT_GE(c.from + count * 1000 / c.fps, c.to) << c.from;
    }
    const struct { uint32_t fps; uint16_t delay; } delays[] = {
        {1, 100}, {3, 33}, {6, 17}, {7, 14}, {8, 12}, {16, 6}, {24, 4}, {40, 2}, {50, 2},
    };
    for (const auto& d : delays) EXPECT_EQ(tools::ClipFrameDelay(d.fps), d.delay) << d.fps;
}

TEST(ProgressBar, ShowsFramesAndTimeLeft) {
    const struct { uint64_t done, total; double elapsed; const char* line; } cases[] = {
        {0, 250, 0.0, "[                              ]  0/250 frames, estimating time left"},
        {125, 250, 10.0, "[###############               ]  125/250 frames, 0:10 left"},
        {1, 7201, 1.0, "[                              ]  1/7201 frames, 2:00:00 left"},
        {250, 250, 61.4, "[##############################]  250/250 frames, done in 1:01"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tools::ProgressLine(c.done, c.total, c.elapsed), c.line);
    }
}

struct ClipCase {
    std::string from, to, fps;
    std::vector<uint32_t> times;
    int delay;
};

TEST_F(RenderTool, ClipHoldsTheFramesAtItsReadings) {
    ukvo2::BuildPath();
    ukvo2::BuildPalette();
    const ClipCase cases[] = {
        {"149800", "150300", "8", {149800, 149925, 150050, 150175}, 12},  // across the loop
        {"4294967000", "4294967295", "7", {4294967000u, 4294967142u, 4294967285u}, 14},
        {"0", "41", "50", {0, 20, 40}, 2},
        {"5", "105", "40", {5, 30, 55, 80}, 2},
        {"1000", "1001", "1", {1000}, 100},
    };
    for (const auto& c : cases) {
        const std::string shown = c.from + ".." + c.to + " at " + c.fps;
        const fs::path out = dir / "clip.gif";
        const auto r = Run({"--from", c.from, "--to", c.to, "--fps", c.fps, "--out", out.string()});
        ASSERT_EQ(r.status, 0) << shown << ": " << r.err;
        EXPECT_EQ(r.err, "") << shown;
        EXPECT_EQ(r.out, "") << shown;
        EXPECT_EQ(Entries(), std::vector<std::string>{"clip.gif"}) << shown;

        testgif::Image gif;
        std::string error;
        ASSERT_TRUE(testgif::ReadGif(ReadAll(out), gif, error)) << shown << ": " << error;
        EXPECT_EQ(gif.version, "GIF89a");
        EXPECT_EQ(gif.width, 640);
        EXPECT_EQ(gif.height, 480);
        EXPECT_EQ(gif.loopCount, 0) << shown;
        ASSERT_EQ(gif.colors.size(), 256u);
        for (size_t i = 0; i < 256; ++i) {
            const ukvo2::PaletteEntry& p = ukvo2::Palette[i];
            EXPECT_EQ(gif.colors[i], (std::array<uint8_t, 3>{p.red, p.green, p.blue})) << i;
        }
        ASSERT_EQ(gif.frames.size(), c.times.size()) << shown;
        for (size_t k = 0; k < c.times.size(); ++k) {
            const testgif::Frame& f = gif.frames[k];
            EXPECT_EQ(f.left, 0);
            EXPECT_EQ(f.top, 0);
            EXPECT_EQ(f.width, 640);
            EXPECT_EQ(f.height, 480);
            EXPECT_FALSE(f.localTable);
            EXPECT_FALSE(f.interlaced);
            EXPECT_TRUE(f.hasControl);
            EXPECT_FALSE(f.transparent);
            EXPECT_LE(f.disposal, 1);  // no disposal given, or left in place
            EXPECT_EQ(f.delay, c.delay) << shown;
            EXPECT_TRUE(f.pixels == FrameAt(c.times[k])) << shown << ", frame " << k;
        }
        fs::remove(out);
    }
}

TEST_F(RenderTool, ClipIsTheSameBytesOnEveryRunAndMatchesTheStills) {
    const fs::path a = dir / "a.gif", b = dir / "b.gif", still = dir / "still.png";
    ASSERT_EQ(Run({"--from", "77000", "--to", "77300", "--fps", "10", "--out", a.string()}).status, 0);
    ASSERT_EQ(Run({"--fps=10", "--out=" + b.string(), "--to=77300", "--from=77000"}).status, 0);
    const std::string bytes = ReadAll(a);
    EXPECT_EQ(bytes, ReadAll(b));

    // The middle frame is the still the same program writes for 77100.
    ASSERT_EQ(Run({"--time", "77100", "--out", still.string()}).status, 0);
    std::vector<uint8_t> pixels;
    std::vector<png_color> colors;
    png_uint_32 w = 0, h = 0;
    ASSERT_TRUE(ReadIndexedPng(still, pixels, colors, w, h));
    testgif::Image gif;
    std::string error;
    ASSERT_TRUE(testgif::ReadGif(bytes, gif, error)) << error;
    ASSERT_EQ(gif.frames.size(), 3u);
    EXPECT_TRUE(gif.frames[1].pixels == pixels);
    ASSERT_EQ(colors.size(), gif.colors.size());
    for (size_t i = 0; i < colors.size(); ++i) {
        EXPECT_EQ(gif.colors[i], (std::array<uint8_t, 3>{colors[i].red, colors[i].green,
                                                         colors[i].blue}));
    }
}

TEST_F(RenderTool, ProgressBarOnATerminalOnly) {
    const std::string out = (dir / "clip.gif").string();
    int terminal = -1;
    const pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        execl(KVO2_RENDER, KVO2_RENDER, "--from", "0", "--to", "300", "--fps", "10", "--out",
              out.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(terminal, buffer, sizeof buffer);
        if (n > 0) {
            text.append(buffer, static_cast<size_t>(n));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            break;  // the program has closed the terminal
        }
    }
    close(terminal);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << text;

    // Redrawn in place from the start, ending with the whole count on a line
    // of its own.
    EXPECT_EQ(text.rfind("\r[", 0), 0u) << text;
    EXPECT_NE(text.find("0/3 frames"), std::string::npos) << text;
    EXPECT_NE(text.find("3/3 frames, done in"), std::string::npos) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
    EXPECT_EQ(text.back(), '\n') << text;
    testgif::Image gif;
    std::string error;
    ASSERT_TRUE(testgif::ReadGif(ReadAll(out), gif, error)) << error;
    EXPECT_EQ(gif.frames.size(), 3u);
    // Not a terminal: nothing on stderr (the other clip tests check the same).
    const auto r = Run({"--from", "0", "--to", "300", "--fps", "10", "--out", out});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
}

TEST(ClipWriter, AFullDiskFailsWithItsReason) {
    std::FILE* full = std::fopen("/dev/full", "wb");
    if (!full) GTEST_SKIP() << "no /dev/full";
    ukvo2::BuildPath();
    ukvo2::BuildPalette();
    errno = 0;
    EXPECT_FALSE(tools::WriteGifClip(full, 0, 500, 10));
    EXPECT_EQ(errno, ENOSPC);
    std::fclose(full);
}

}  // namespace
