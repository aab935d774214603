// The command line of kvo2-render, declared with CLI11.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace render {

// The kinds of file kvo2-render writes: a still, then the clips.
enum class Format { Png, Gif, Webp, Mp4, Webm };

// A still (--time) or a clip (--from, --to, --fps, --threads); never both.
struct RenderOptions {
    bool help = false;     // --help asks for the help text and nothing else
    bool clip = false;     // a clip; otherwise a still
    uint32_t time = 0;     // milliseconds, the still's reading
    uint32_t from = 0;     // milliseconds, the first frame's reading
    uint32_t to = 0;       // milliseconds, readings stay below it
    uint32_t fps = 0;      // frames per second, 1 to 60 (to 50 for a GIF)
    uint32_t threads = 0;  // the clip's threads, 1 to 64; 0: every core
    Format format = Format::Png;  // from the end of `out`'s name
    std::string out;       // never empty
};

// Whether this build writes video (.mp4, .webm).
bool VideoBuilt();

// Reads the arguments after the program name. Returns false with a one-line
// reason in `error` for an unknown option, a missing, repeated or bad value, a
// still's option mixed with a clip's, an empty clip (--from not below --to),
// or an output name whose format is unknown, not built, or not the kind
// (still or clip) asked for.
bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& options,
                        std::string& error);

// The text that --help shows.
std::string RenderHelp();

// `text` on one line: control characters become \xNN.
std::string OneLine(const std::string& text);

}  // namespace render
