// The program's entry. With no option, the window; on request full screen, or
// inside another program's X window, the way xscreensaver runs the programs
// it shows.
#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "gdi8.h"
#include "run.h"

namespace {

// An X window id, in decimal or in hexadecimal after 0x; false for anything
// else. X ids take 29 bits.
bool WindowId(const std::string& text, uintptr_t& id) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const size_t digits = text.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789",
                                                 hex ? 2 : 0);
    if (text.empty() || digits != std::string::npos) return false;
    errno = 0;
    const unsigned long long value = std::strtoull(text.c_str() + (hex ? 2 : 0), nullptr, hex ? 16 : 10);
    if (errno || value > 0x1FFFFFFF) return false;
    id = static_cast<uintptr_t>(value);
    return true;
}

// The usage line, and each option with its value's name alone.
class Help : public CLI::Formatter {
  public:
    std::string make_usage(const CLI::App*, std::string) const override {
        return "Usage: kvo2 [--fullscreen | --root | --window-id ID] [--fps]\n";
    }
    std::string make_option_opts(const CLI::Option* option) const override {
        return option->get_type_name().empty() ? "" : " " + option->get_type_name();
    }
};

// What the options ask for.
struct Options {
    bool fullScreen = false;
    bool root = false;
    bool fps = false;
    std::string windowId;
};

// The help text's parts, and the options, which the parse writes to `options`.
void DeclareOptions(CLI::App& app, Options& options) {
    app.formatter(std::make_shared<Help>());
    app.get_formatter()->column_width(18);
    app.footer("With --root or --window-id, Kvo fills the window (keeping its picture's\n"
               "shape, between black bars) and follows its size, draws one frame a\n"
               "refresh of the display (60 a second where it is unknown) and none while\n"
               "the window is hidden, leaves the screen saver setting alone, and ends\n"
               "with status 0 on SIGTERM or SIGINT.");
    app.set_help_flag("-h,--help", "show this text");
    app.set_version_flag("--version", "kvo2 " KVO_VERSION, "show the version");
    auto* full = app.add_flag("--fullscreen", options.fullScreen, "start full screen");
    auto* rootOption = app.add_flag(
        "--root", options.root,
        "draw into the window named by XSCREENSAVER_WINDOW, or into\n"
        "the root window when it is unset: the screen saver's way");
    auto* idOption =
        app.add_option("--window-id", options.windowId,
                       "draw into the X window ID (decimal, or hexadecimal after 0x)")
            ->type_name("ID")
            ->check([](const std::string& text) {
                uintptr_t id = 0;
                return WindowId(text, id) ? std::string() : "not an X window id: '" + text + "'";
            });
    app.add_flag("--fps", options.fps,
                 "print the frame rate every two seconds on standard output\n"
                 "(the title's text)");
    rootOption->excludes(idOption);
    full->excludes(rootOption)->excludes(idOption);
}

// Tells gdi8 where to show the frame; false, said on stderr, when
// XSCREENSAVER_WINDOW holds something other than an X window id.
bool ApplyMode(const Options& options) {
    gdi8::Placement placement;
    placement.echoTitle = options.fps;
    if (options.fullScreen) placement.where = gdi8::Place::FullScreen;
    if (options.root || !options.windowId.empty()) {
        const char* named =
            options.root ? std::getenv("XSCREENSAVER_WINDOW") : options.windowId.c_str();
        placement.where = gdi8::Place::Inside;  // parent 0: the root window
        if (named && *named && !WindowId(named, placement.parent)) {
            std::fprintf(stderr, "kvo2: XSCREENSAVER_WINDOW is not an X window id: '%s'\n", named);
            return false;
        }
    }
    gdi8::ChoosePlacement(placement);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Kvo: a Julia set streaming out in rays of light, in a window of its own.\n"
                 "Escape ends it; 1, 2 and 4 zoom the window; F11 or Alt+Enter switch to\n"
                 "full screen and back.\n",
                 "kvo2"};
    Options options;
    DeclareOptions(app, options);

    // xscreensaver's programs also take their long options after one dash.
    std::vector<std::string> words(argv, argv + argc);
    std::vector<char*> args;
    for (std::string& word : words) {
        if (word == "-root" || word == "-fps" || word.rfind("-window-id", 0) == 0)
            word.insert(0, "-");
        args.push_back(&word[0]);
    }
    try {
        app.parse(static_cast<int>(args.size()), args.data());
    } catch (const CLI::CallForHelp&) {
        std::printf("%s", app.help().c_str());
        return 0;
    } catch (const CLI::CallForVersion& version) {
        std::printf("%s\n", version.what());
        return 0;
    } catch (const CLI::ParseError& e) {
        std::string what = e.what();
        for (char& c : what)
            if (c == '\n') c = ' ';
        std::fprintf(stderr, "kvo2: %s (kvo2 --help lists the options)\n", what.c_str());
        return 2;
    }
    if ((options.root || !options.windowId.empty()) && !gdi8::CanDrawInside()) {
        std::fprintf(stderr, "kvo2: --root and --window-id need X11, which this build of Kvo leaves out\n");
        return 2;
    }
    if (!ApplyMode(options)) return 1;
    return ukvo2::Run();
}
