// The command line of kvo2-render.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

// A still (--time) or a clip (--from, --to, --fps); never both.
struct RenderOptions {
    bool help = false;
    bool clip = false;     // set once the options are known to be whole
    bool hasTime = false;
    uint32_t time = 0;     // milliseconds
    bool hasFrom = false, hasTo = false, hasFps = false;
    uint32_t from = 0;     // milliseconds, the first frame's reading
    uint32_t to = 0;       // milliseconds, readings stay below it
    uint32_t fps = 0;      // frames per second, 1 to 50
    std::string out;
};

// Parses a clock reading: decimal digits only, 0 to 4294967295.
bool ParseMilliseconds(const std::string& text, uint32_t& value);

// Parses the arguments after the program name. Returns false with a one-line
// reason in `error` for an unknown option, a missing or repeated one, a bad
// value, a still's option mixed with a clip's, or a clip that is empty
// (--from not below --to). `--help` alone is enough.
bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& options,
                        std::string& error);

extern const char* const RenderUsage;

}  // namespace tools
