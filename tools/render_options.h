// The command line of kvo2-render.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

struct RenderOptions {
    bool help = false;
    bool hasTime = false;
    uint32_t time = 0;  // milliseconds
    std::string out;
};

// Parses a clock reading: decimal digits only, 0 to 4294967295.
bool ParseMilliseconds(const std::string& text, uint32_t& value);

// Parses the arguments after the program name. Returns false with a one-line
// reason in `error` for an unknown option, a missing or repeated one, or a
// bad value. `--help` alone is enough.
bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& options,
                        std::string& error);

extern const char* const RenderUsage;

}  // namespace tools
