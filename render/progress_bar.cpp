#include "progress_bar.h"

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>

namespace render {

namespace {

using Clock = std::chrono::steady_clock;

bool shown = false;         // a bar is being drawn
uint64_t totalSteps = 0;
Clock::time_point started;
Clock::time_point lastDrawn;
size_t lastLength = 0;      // to blank out the rest of a longer previous line

constexpr int BarWidth = 30;

// "0:41", "12:05", "3:07:55".
std::string Duration(double seconds) {
    const uint64_t s = seconds > 0 ? static_cast<uint64_t>(std::llround(seconds)) : 0;
    char text[32];
    if (s >= 3600) {
        std::snprintf(text, sizeof text, "%llu:%02u:%02u",
                      static_cast<unsigned long long>(s / 3600),
                      static_cast<unsigned>(s / 60 % 60), static_cast<unsigned>(s % 60));
    } else {
        std::snprintf(text, sizeof text, "%u:%02u", static_cast<unsigned>(s / 60),
                      static_cast<unsigned>(s % 60));
    }
    return text;
}

double SecondsSince(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

}  // namespace

std::string ProgressLine(uint64_t done, uint64_t total, double elapsed) {
    if (done > total) done = total;
    const int filled = total ? static_cast<int>(done * BarWidth / total) : BarWidth;
    std::string line = "[" + std::string(static_cast<size_t>(filled), '#') +
                       std::string(static_cast<size_t>(BarWidth - filled), ' ') + "]  " +
                       std::to_string(done) + "/" + std::to_string(total) + " frames, ";
    if (done == total) {
        line += "done in " + Duration(elapsed);
    } else if (done == 0) {
        line += "estimating time left";
    } else {
        line += Duration(elapsed / static_cast<double>(done) * static_cast<double>(total - done)) +
                " left";
    }
    return line;
}

namespace {

void Draw(uint64_t done) {
    lastDrawn = Clock::now();
    const std::string line = ProgressLine(done, totalSteps, SecondsSince(started));
    const size_t pad = lastLength > line.size() ? lastLength - line.size() : 0;
    std::fprintf(stderr, "\r%s%s", line.c_str(), std::string(pad, ' ').c_str());
    std::fflush(stderr);
    lastLength = line.size();
}

}  // namespace

void StartProgress(uint64_t total) {
    shown = isatty(STDERR_FILENO) == 1;
    if (!shown) return;
    totalSteps = total;
    started = Clock::now();
    lastLength = 0;
    Draw(0);
}

void ShowProgress(uint64_t done) {
    if (!shown) return;
    if (done < totalSteps && Clock::now() - lastDrawn < std::chrono::milliseconds(100)) return;
    Draw(done);
}

void EndProgress() {
    if (!shown) return;
    std::fputc('\n', stderr);
    std::fflush(stderr);
    shown = false;
}

}  // namespace render
