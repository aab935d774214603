// A window layer of the tests' own: gdi8's calls with no screen behind them.
// It records what the program does to its window and, after a set number of
// frames, closes the window the way the real one does: the process ends
// with status 0 from inside ShowFrame.
#pragma once

#include <string>
#include <vector>

namespace stubgdi8 {

// Set by the test before the program opens its window.
extern bool OpenFails;             // OpenWindow returns false ...
extern std::string FailureText;    // ... and OpenFailure gives this
extern int FramesToClose;          // ShowFrame closes after this many frames
extern std::string RecordPath;     // the close writes the record here

// What happened, one line each, in order: "open TITLE WxH", "palette N",
// "frame HASH" (FNV-1a of the shown pixels, in hex), "title TEXT", and the
// test's own lines.
extern std::vector<std::string> Record;

// Reads a record written by the close; empty when there is none.
std::vector<std::string> ReadRecord(const std::string& path);

}  // namespace stubgdi8
