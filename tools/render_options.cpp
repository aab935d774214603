#include "render_options.h"

namespace tools {

const char* const RenderUsage =
    "Usage: kvo2-render --time MS --out FILE.png\n"
    "       kvo2-render --from A --to B --fps N --out FILE.gif\n"
    "\n"
    "With --time, writes the 640 x 480 frame that Kvo draws when its millisecond\n"
    "clock reads MS, as an 8-bit indexed-colour PNG whose colour table is Kvo's\n"
    "palette.\n"
    "\n"
    "With --from, --to and --fps, writes an animated GIF that loops for ever: the\n"
    "frames at the readings A + floor(i x 1000 / N) for i = 0, 1, 2, ... while the\n"
    "reading is below B, each shown for 1/N second (rounded to hundredths), with\n"
    "Kvo's palette as the colour table. Every frame is exactly the still for its\n"
    "reading. A bar on the terminal shows the progress.\n"
    "\n"
    "  --time MS     the clock reading, a whole number from 0 to 4294967295\n"
    "  --from A      the clip's first reading, 0 to 4294967295\n"
    "  --to B        the reading the clip stops before; above A\n"
    "  --fps N       frames per second of the clip, 1 to 50\n"
    "  --out FILE    the file to write; its folder must exist. The file is\n"
    "                written whole or not at all\n"
    "  --help        show this text\n"
    "\n"
    "The same options give the same frames on every machine and the same bytes\n"
    "on every run. The animation loops every 150000 ms.\n";

bool ParseMilliseconds(const std::string& text, uint32_t& value) {
    if (text.empty() || text.size() > 10) return false;
    uint64_t v = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<uint64_t>(c - '0');
    }
    if (v > 4294967295u) return false;
    value = static_cast<uint32_t>(v);
    return true;
}

namespace {

constexpr uint32_t MaxFps = 50;

// Stores one option's value; false with the reason in `error`.
bool Take(const std::string& name, const std::string& value, RenderOptions& options,
          std::string& error) {
    if (name == "--out") {
        if (!options.out.empty()) {
            error = "--out is given twice";
            return false;
        }
        if (value.empty()) {
            error = "--out needs a file name";
            return false;
        }
        options.out = value;
        return true;
    }
    bool* has = &options.hasTime;
    uint32_t* target = &options.time;
    if (name == "--from") {
        has = &options.hasFrom;
        target = &options.from;
    } else if (name == "--to") {
        has = &options.hasTo;
        target = &options.to;
    } else if (name == "--fps") {
        has = &options.hasFps;
        target = &options.fps;
    }
    if (*has) {
        error = name + " is given twice";
        return false;
    }
    if (name == "--fps") {
        if (!ParseMilliseconds(value, *target) || *target < 1 || *target > MaxFps) {
            error = "--fps must be a whole number from 1 to 50, not '" + value + "'";
            return false;
        }
    } else if (!ParseMilliseconds(value, *target)) {
        error = name + " must be a whole number from 0 to 4294967295, not '" + value + "'";
        return false;
    }
    *has = true;
    return true;
}

}  // namespace

bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& options,
                        std::string& error) {
    options = RenderOptions{};
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool hasValue = false;
        const size_t eq = name.find('=');
        if (name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            hasValue = true;
        }
        if (name == "--help" || name == "-h") {
            if (hasValue) {
                error = "--help takes no value";
                return false;
            }
            options.help = true;
            continue;
        }
        if (name != "--time" && name != "--from" && name != "--to" && name != "--fps" &&
            name != "--out") {
            error = "unknown option '" + args[i] + "' (see --help)";
            return false;
        }
        if (!hasValue) {
            if (i + 1 >= args.size()) {
                error = name + " needs a value";
                return false;
            }
            value = args[++i];
        }
        if (!Take(name, value, options, error)) return false;
    }
    if (options.help) return true;

    const bool anyClip = options.hasFrom || options.hasTo || options.hasFps;
    if (options.hasTime && anyClip) {
        error = "--time makes a still and --from/--to/--fps a clip: give one or the other";
        return false;
    }
    if (!options.hasTime && !anyClip) {
        error = "--time MS (a still) or --from A --to B --fps N (a clip) is required (see --help)";
        return false;
    }
    if (anyClip) {
        const char* missing = !options.hasFrom ? "--from A"
                              : !options.hasTo ? "--to B"
                              : !options.hasFps ? "--fps N"
                                                : nullptr;
        if (missing) {
            error = std::string("a clip needs --from, --to and --fps: ") + missing +
                    " is missing";
            return false;
        }
        if (options.from >= options.to) {
            error = "--from must be below --to (" + std::to_string(options.from) + " is not below " +
                    std::to_string(options.to) + ")";
            return false;
        }
        options.clip = true;
    }
    if (options.out.empty()) {
        error = "--out FILE is required (see --help)";
        return false;
    }
    return true;
}

}  // namespace tools
