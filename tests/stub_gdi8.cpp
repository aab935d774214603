// gdi8 without a screen, for the tests of the main loop.
#include "stub_gdi8.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "gdi8.h"
#include "test_util.h"

namespace stubgdi8 {

bool OpenFails = false;
std::string FailureText;
int FramesToClose = 1;
std::string RecordPath;
std::vector<std::string> Record;

std::vector<std::string> ReadRecord(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

namespace {

int Width = 0;
int Height = 0;
int Frames = 0;

void WriteRecord() {
    std::ofstream out(RecordPath);
    for (const auto& line : Record) out << line << '\n';
}

}  // namespace
}  // namespace stubgdi8

namespace gdi8 {

using namespace stubgdi8;

void* WindowHandle = nullptr;

bool OpenWindow(const char* title, int width, int height) {
    Record.push_back("open " + std::string(title) + " " + std::to_string(width) + "x" +
                     std::to_string(height));
    if (OpenFails) return false;
    Width = width;
    Height = height;
    Frames = 0;
    WindowHandle = &Width;
    return true;
}

const char* OpenFailure() { return FailureText.c_str(); }

int SetPalette(const void*, int lastIndex) {
    Record.push_back("palette " + std::to_string(lastIndex));
    return 1;
}

int ShowFrame(const uint8_t* pixels) {
    char hash[32];
    std::snprintf(hash, sizeof hash, "%016llx",
                  static_cast<unsigned long long>(
                      testutil::Fnv1a(pixels, static_cast<size_t>(Width) * Height)));
    Record.push_back("frame " + std::string(hash));
    if (++Frames >= FramesToClose) {
        CloseWindow();
        std::exit(0);
    }
    return 1;
}

void SetTitle(const char* text) { Record.push_back("title " + std::string(text)); }

void CloseWindow() {
    WindowHandle = nullptr;
    WriteRecord();
}

}  // namespace gdi8
