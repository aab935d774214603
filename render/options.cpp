#include "options.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>

namespace render {

namespace {

// Usage lines first, then each option with its value's name alone.
class Help : public CLI::Formatter {
  public:
    std::string make_usage(const CLI::App*, std::string) const override {
        return "Usage: kvo2-render --time MS --out FILE.png\n"
               "       kvo2-render --from A --to B --fps N --out FILE.gif\n";
    }
    std::string make_option_opts(const CLI::Option* option) const override {
        return option->get_type_name().empty() ? "" : " " + option->get_type_name();
    }
};

// A whole number in decimal digits alone, from `lo` to `hi`, handed on without
// leading zeros: CLI11's own reading would also take signs, spaces and hex or
// octal prefixes ("010" as 8).
CLI::Validator Whole(uint32_t lo, uint32_t hi) {
    return CLI::Validator(
        [lo, hi](std::string& text) -> std::string {
            uint64_t v = 0;
            bool digits = !text.empty();
            for (const char c : text) {
                digits = digits && c >= '0' && c <= '9';
                if (digits && v <= hi) v = v * 10 + static_cast<uint64_t>(c - '0');
            }
            if (!digits || v < lo || v > hi)
                return "must be a whole number from " + std::to_string(lo) + " to " +
                       std::to_string(hi) + ", not '" + text + "'";
            text = std::to_string(v);
            return {};
        },
        "");
}

void Declare(CLI::App& app, RenderOptions& o) {
    const uint32_t maxClock = 4294967295u;
    app.formatter(std::make_shared<Help>());
    app.get_formatter()->column_width(16);
    app.set_help_flag("-h,--help", "show this text")->disable_flag_override();
    auto* time = app.add_option("--time", o.time, "the clock reading, 0 to 4294967295")
                     ->type_name("MS")->transform(Whole(0, maxClock));
    auto* from = app.add_option("--from", o.from, "the clip's first reading, 0 to 4294967295")
                     ->type_name("A")->transform(Whole(0, maxClock));
    auto* to = app.add_option("--to", o.to, "the reading the clip stops before; above A")
                   ->type_name("B")->transform(Whole(0, maxClock));
    auto* fps = app.add_option("--fps", o.fps, "frames per second of the clip, 1 to 50")
                    ->type_name("N")->transform(Whole(1, 50));
    app.add_option("--out", o.out, "the file to write, whole or not at all; its folder must exist")
        ->type_name("FILE")->required()
        ->check([](const std::string& s) { return s.empty() ? "needs a file name" : ""; });
    for (CLI::Option* a : {from, to, fps}) {
        time->excludes(a);
        for (CLI::Option* b : {from, to, fps})
            if (a != b) a->needs(b);
    }
    app.footer(
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
        "The same options give the same frames on every machine and the same bytes\n"
        "on every run. The animation loops every 150000 ms.");
}

}  // namespace

bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& options,
                        std::string& error) {
    options = RenderOptions{};
    // CLI11 would read "--out= x" as "--out x": nothing after '=' is refused instead.
    for (const std::string& a : args) {
        if (a.size() > 2 && a.rfind("--", 0) == 0 && a.find('=') == a.size() - 1) {
            error = OneLine(a + " needs a value after '='");
            return false;
        }
    }
    CLI::App app;
    Declare(app, options);
    try {
        app.parse(std::vector<std::string>(args.rbegin(), args.rend()));  // CLI11 takes the last first
    } catch (const CLI::CallForHelp&) {
        options = RenderOptions{};
        options.help = true;
        return true;
    } catch (const CLI::ExtrasError&) {
        // Named here: CLI11 2.1 lists the leftovers last first.
        error = OneLine("unexpected argument '" + app.remaining().front() + "' (see --help)");
        return false;
    } catch (const CLI::ParseError& e) {
        error = OneLine(e.what());
        return false;
    }
    options.clip = app.count("--from") > 0;
    if (!options.clip && app.count("--time") == 0) {
        error = "--time MS (a still) or --from A --to B --fps N (a clip) is required (see --help)";
        return false;
    }
    if (options.clip && options.from >= options.to) {
        error = "--from must be below --to (" + std::to_string(options.from) + " is not below " +
                std::to_string(options.to) + ")";
        return false;
    }
    return true;
}

std::string RenderHelp() {
    RenderOptions options;
    CLI::App app;
    Declare(app, options);
    return app.help();
}

std::string OneLine(const std::string& text) {
    std::string line;
    for (const unsigned char c : text) {
        if (c >= 0x20 && c != 0x7f) {
            line += static_cast<char>(c);
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            line += hex;
        }
    }
    return line;
}

}  // namespace render
