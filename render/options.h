// The command line of kvo2-render, declared with CLI11.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "format_table.h"

namespace render {

// A still (--time) or a clip (--from, --to, --fps, --threads); never both.
struct RenderOptions {
    bool help = false;     // --help asks for the help text and nothing else
    bool version = false;  // --version asks for the version and nothing else
    bool clip = false;     // a clip; otherwise a still
    uint32_t time = 0;     // milliseconds, the still's reading
    uint32_t from = 0;     // milliseconds, the first frame's reading
    uint32_t to = 0;       // milliseconds, readings stay below it
    uint32_t fps = 0;      // frames per second, 1 to the format's highest rate
    uint32_t threads = 0;  // the clip's threads, 1 to 64; 0: every core
    const Format* format = nullptr;  // the row of Formats() that ends `out`'s name
    std::string out;       // never empty
};

// Reads the arguments after the program name. Returns false with a one-line
// reason in `error` for an unknown option, a missing, repeated or bad value, a
// still's option mixed with a clip's, an empty clip (--from not below --to),
// or an output name whose format is unknown, not built, or not the kind
// (still or clip) asked for, or a rate above the format's.
bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& options,
                        std::string& error);

// The text that --help shows.
std::string RenderHelp();

// `text` on one line: control characters become \xNN.
std::string OneLine(const std::string& text);

}  // namespace render
