#include "options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <sstream>

namespace render {

namespace {

// The names of the formats of `kind` that this build writes, in the table's
// order: "FILE.gif|FILE.webp" (`each` "FILE.", `between` "|").
std::string Names(Kind kind, const std::string& each, const std::string& between) {
    std::string names;
    for (const Format& f : Formats())
        if (f.kind == kind && f.write) names += (names.empty() ? "" : between) + each + f.name;
    return names;
}

// The highest rate of any clip format.
uint32_t MaxFps() {
    uint32_t most = 1;
    for (const Format& f : Formats()) most = std::max(most, f.maxFps);
    return most;
}

// One form of the usage: `head` ("Usage: kvo2-render") and its words (an
// option with its value), in lines of at most 76 characters, the later ones
// under the first word. A word that does not fit on a line starts the next,
// and one longer than a line (a list of file names) breaks after a '|'.
std::string Synopsis(const std::string& head, const std::vector<std::string>& words) {
    const size_t indent = head.size() + 1;
    std::string text, line = head;
    for (const std::string& word : words) {
        bool next = line.size() + 1 + word.size() > 76 && line.size() > head.size();
        for (size_t from = 0, end; from < word.size(); from = end) {
            end = std::min(word.find('|', from), word.size() - 1) + 1;
            if (next || (line.size() + (from == 0) + end - from > 76 && line.size() > indent)) {
                text += line + "\n";
                line = std::string(indent, ' ');
                next = false;
            } else if (from == 0) {
                line += ' ';
            }
            line += word.substr(from, end - from);
        }
    }
    return text + line + "\n";
}

// Usage lines first, then each option with its value's name alone.
class Help : public CLI::Formatter {
  public:
    std::string make_usage(const CLI::App*, std::string) const override {
        return Synopsis("Usage: kvo2-render", {"--time MS", "--out " + Names(Kind::Still, "FILE.", "|")}) +
               Synopsis("       kvo2-render", {"--from A", "--to B", "--fps N", "[--threads T]",
                                               "--out " + Names(Kind::Clip, "FILE.", "|")});
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

// `text` broken into lines of at most 76 characters between words.
std::string Wrap(const std::string& text) {
    std::string out, line, word;
    std::istringstream words(text);
    while (words >> word) {
        if (!line.empty() && line.size() + 1 + word.size() > 76) {
            out += line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    return out + line;
}

// What --help says of each format of `kind`, one sentence each.
std::string About(Kind kind) {
    std::string text;
    for (const Format& f : Formats()) {
        if (f.kind != kind) continue;
        text += std::string(" FILE.") + f.name;
        if (kind == Kind::Clip) text += " (N to " + std::to_string(f.maxFps) + ")";
        text += std::string(": ") + f.about +
                (f.write ? "." : ", in builds with video; this one has none.");
    }
    return text;
}

// What --help says after the options.
std::string Footer() {
    return Wrap("The end of FILE's name picks the format. With --time, a still: the 640 x 480 "
                "frame that Kvo draws when its millisecond clock reads MS." + About(Kind::Still)) +
           "\n\n" +
           Wrap("With --from, --to and --fps, a clip that loops for ever: the frames at the "
                "readings A + floor(i x 1000 / N) for i = 0, 1, 2, ... while the reading is "
                "below B, N frames a second, rendered on every core." + About(Kind::Clip) +
                " A bar on the terminal shows the progress.") +
           "\n\n" +
           Wrap("The same options give the same stills and GIFs on every machine and the "
                "same bytes on every run. The animation loops every 150000 ms.");
}

// What --help says of --fps: the highest rate, and any format's lower one.
std::string FpsHelp() {
    std::string lower;
    for (const Format& f : Formats())
        if (f.kind == Kind::Clip && f.maxFps < MaxFps())
            lower += (lower.empty() ? " (" : ", ") + std::string("to ") +
                     std::to_string(f.maxFps) + " for FILE." + f.name;
    return "frames per second of the clip, 1 to " + std::to_string(MaxFps()) + lower +
           (lower.empty() ? "" : ")");
}

void Declare(CLI::App& app, RenderOptions& o) {
    const uint32_t maxClock = 4294967295u;
    app.formatter(std::make_shared<Help>());
    app.get_formatter()->column_width(16);
    app.set_help_flag("-h,--help", "show this text");
    app.set_version_flag("--version", "kvo2-render " KVO_VERSION, "show the version");
    auto* time = app.add_option("--time", o.time, "the clock reading, 0 to 4294967295")
                     ->type_name("MS")->transform(Whole(0, maxClock));
    auto* from = app.add_option("--from", o.from, "the clip's first reading, 0 to 4294967295")
                     ->type_name("A")->transform(Whole(0, maxClock));
    auto* to = app.add_option("--to", o.to, "the reading the clip stops before; above A")
                   ->type_name("B")->transform(Whole(0, maxClock));
    auto* fps = app.add_option("--fps", o.fps, FpsHelp())->type_name("N")->transform(Whole(1, MaxFps()));
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

// The formats this build writes, as every refusal of a file name lists them:
// "FILE.png for a still; FILE.gif, .webp or .mp4 for a clip".
std::string FormatList() {
    std::string list;
    for (const Kind kind : {Kind::Still, Kind::Clip}) {
        const std::string names = Names(kind, ".", ", ");
        if (names.empty()) continue;
        const size_t last = names.rfind(", ");
        list += (list.empty() ? "FILE" : "; FILE") +
                (last == std::string::npos ? names : names.substr(0, last) + " or " + names.substr(last + 2)) +
                (kind == Kind::Still ? " for a still" : " for a clip");
    }
    return list;
}

// Sets the format from --out, or an error naming the formats for a name this
// build cannot write or that is not the kind (still or clip) asked for.
bool CheckFormat(RenderOptions& o, std::string& error) {
    const std::string name = "--out " + o.out;
    o.format = FormatOfName(o.out);
    if (!o.format)
        error = name + ": unknown format; write " + FormatList();
    else if (o.clip != (o.format->kind == Kind::Clip))
        error = name + ": that format is for a " + (o.clip ? "still" : "clip") + "; write " + FormatList();
    else if (!o.format->write)
        error = name + ": this kvo2-render is built without video (KVO_VIDEO=OFF); write " + FormatList();
    else if (o.clip && o.fps > o.format->maxFps)
        error = "--fps must be at most " + std::to_string(o.format->maxFps) + " for FILE." +
                o.format->name + " (not " + std::to_string(o.fps) + ")";
    else
        return true;
    o.format = nullptr;
    error = OneLine(error);
    return false;
}

// Refuses what CLI11 would read otherwise: "--out= x" as "--out x"; "-hREST"
// as "-h -REST", so that "-h-version" asked for the version; "--help=true" as
// "--help". -h is the only short option, and --help and --version take no
// value.
bool RefuseMisreadings(const std::vector<std::string>& args, std::string& error) {
    for (const std::string& a : args) {
        if (a.size() > 2 && a.rfind("--", 0) == 0 && a.find('=') == a.size() - 1) {
            error = OneLine(a + " needs a value after '='");
            return false;
        }
        if (a.size() > 2 && a.rfind("-h", 0) == 0) {
            error = OneLine("unexpected argument '" + a + "' (see --help)");
            return false;
        }
        for (const std::string flag : {"--help", "--version"}) {
            if (a.rfind(flag + "=", 0) == 0) {
                error = flag + " takes no value";
                return false;
            }
        }
    }
    return true;
}

}  // namespace

bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& options,
                        std::string& error) {
    options = RenderOptions{};
    if (!RefuseMisreadings(args, error)) return false;
    CLI::App app;
    Declare(app, options);
    try {
        app.parse(std::vector<std::string>(args.rbegin(), args.rend()));  // CLI11 takes the last first
    } catch (const CLI::CallForHelp&) {
        options = RenderOptions{};
        options.help = true;
        return true;
    } catch (const CLI::CallForVersion&) {
        options = RenderOptions{};
        options.version = true;
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
