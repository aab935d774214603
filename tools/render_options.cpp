#include "render_options.h"

namespace tools {

const char* const RenderUsage =
    "Usage: kvo2-render --time MS --out FILE.png\n"
    "\n"
    "Writes the 640 x 480 frame that Kvo draws when its millisecond clock reads\n"
    "MS, as an 8-bit indexed-colour PNG whose colour table is Kvo's palette.\n"
    "\n"
    "  --time MS     the clock reading, a whole number from 0 to 4294967295\n"
    "  --out FILE    the PNG file to write; its folder must exist. The file is\n"
    "                written whole or not at all\n"
    "  --help        show this text\n"
    "\n"
    "The same reading gives the same bytes on every machine. The animation\n"
    "loops every 150000 ms.\n";

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

bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& options,
                        std::string& error) {
    options = RenderOptions{};
    bool hasOut = false;
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
        if (name != "--time" && name != "--out") {
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
        if (name == "--time") {
            if (options.hasTime) {
                error = "--time is given twice";
                return false;
            }
            if (!ParseMilliseconds(value, options.time)) {
                error = "--time must be a whole number from 0 to 4294967295, not '" + value + "'";
                return false;
            }
            options.hasTime = true;
        } else {
            if (hasOut) {
                error = "--out is given twice";
                return false;
            }
            if (value.empty()) {
                error = "--out needs a file name";
                return false;
            }
            options.out = value;
            hasOut = true;
        }
    }
    if (options.help) return true;
    if (!options.hasTime) {
        error = "--time MS is required (see --help)";
        return false;
    }
    if (!hasOut) {
        error = "--out FILE is required (see --help)";
        return false;
    }
    return true;
}

}  // namespace tools
