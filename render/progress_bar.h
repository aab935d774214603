// A progress bar on stderr, drawn only when stderr is a terminal.
#pragma once

#include <cstdint>
#include <string>

namespace render {

// Starts a bar for `total` steps. When stderr is not a terminal, this and the
// calls below write nothing.
void StartProgress(uint64_t total);

// Redraws the bar in place after `done` steps, at most ten times a second
// and always for the last step.
void ShowProgress(uint64_t done);

// Ends the bar's line, so that what follows starts on a line of its own.
void EndProgress();

// The bar's text after `done` of `total` steps and `elapsed` seconds:
// "[#####     ]  12/250 frames, 0:41 left".
std::string ProgressLine(uint64_t done, uint64_t total, double elapsed);

}  // namespace render
