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
               "       kvo2-render --from A --to B --fps N [--threads T]\n"
               "                   --out FILE.gif|FILE.webp|FILE.mp4|FILE.webm\n";
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

// What --help says after the options.
std::string Footer() {
    return "The end of FILE's name picks the format. With --time, FILE.png: the\n"
           "640 x 480 frame that Kvo draws when its millisecond clock reads MS, as an\n"
           "8-bit indexed-colour PNG whose colour table is Kvo's palette.\n"
           "\n"
           "With --from, --to and --fps, a clip that loops for ever: the frames at the\n"
           "readings A + floor(i x 1000 / N) for i = 0, 1, 2, ... while the reading is\n"
           "below B, N frames a second, rendered on every core. FILE.gif: each frame\n"
           "exactly its still, over Kvo's palette, shown for 1/N second rounded to\n"
           "hundredths. FILE.webp: a lossless animated WebP, each frame exactly its\n"
           "still. FILE.mp4: H.264 video; FILE.webm: VP9 video; both yuv420p in\n"
           "BT.709's colours, limited range, each frame its still to about 40 dB\n"
           "(PSNR)" + std::string(VideoBuilt() ? "" : ", in builds with video; this one has none") +
           ". A bar on the terminal shows the progress.\n"
           "\n"
           "The same options give the same stills and GIFs on every machine and the\n"
           "same bytes on every run. The animation loops every 150000 ms.";
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
    auto* fps = app.add_option("--fps", o.fps, "frames per second of the clip, 1 to 60 (to 50 for a GIF)")
                    ->type_name("N")->transform(Whole(1, 60));
    auto* threads = app.add_option("--threads", o.threads,
                                   "threads for the clip, 1 to 64; by default every core")
                        ->type_name("T")->transform(Whole(1, 64));
    app.add_option("--out", o.out, "the file to write, whole or not at all; its folder must exist")
        ->type_name("FILE")->required()
        ->check([](const std::string& s) { return s.empty() ? "needs a file name" : ""; });
    for (CLI::Option* a : {from, to, fps}) {
        time->excludes(a);
        for (CLI::Option* b : {from, to, fps})
            if (a != b) a->needs(b);
    }
    time->excludes(threads);
    threads->needs(from);
    app.footer(Footer());
}

// The formats this build writes, as every refusal of a file name lists them.
std::string Formats() {
    return VideoBuilt() ? "FILE.png for a still; FILE.gif, .webp, .mp4 or .webm for a clip"
                        : "FILE.png for a still; FILE.gif or .webp for a clip";
}

// The format named by the end of the file's name, in any case; false for none.
bool FormatOfName(const std::string& path, Format& format) {
    const struct { const char* end; Format format; } names[] = {
        {".png", Format::Png}, {".gif", Format::Gif}, {".webp", Format::Webp},
        {".mp4", Format::Mp4}, {".webm", Format::Webm}};
    std::string lower = path;
    for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    for (const auto& n : names) {
        const size_t size = std::string(n.end).size();
        if (lower.size() >= size && lower.compare(lower.size() - size, size, n.end) == 0) {
            format = n.format;
            return true;
        }
    }
    return false;
}

// Sets the format from --out, or an error naming the formats for a name this
// build cannot write or that is not the kind (still or clip) asked for.
bool CheckFormat(RenderOptions& o, std::string& error) {
    const std::string name = "--out " + o.out;
    if (!FormatOfName(o.out, o.format))
        error = name + ": unknown format; write " + Formats();
    else if (o.clip == (o.format == Format::Png))
        error = name + ": that format is for a " + (o.clip ? "still" : "clip") + "; write " + Formats();
    else if (!VideoBuilt() && (o.format == Format::Mp4 || o.format == Format::Webm))
        error = name + ": this kvo2-render is built without video (KVO_VIDEO=OFF); write " + Formats();
    else if (o.format == Format::Gif && o.fps > 50)
        error = "--fps must be at most 50 for a GIF, whose frame times are in hundredths (not " +
                std::to_string(o.fps) + ")";
    else
        return true;
    error = OneLine(error);
    return false;
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
    return CheckFormat(options, error);
}

bool VideoBuilt() {
#ifdef KVO_VIDEO
    return true;
#else
    return false;
#endif
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
