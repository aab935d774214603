// The screen saver's entry on Windows, kvo2.scr, as the system runs it:
// "/s" full screen, "/p HWND" (or "/p:HWND") a preview inside the window
// HWND; "/c", no argument and anything else only say that there are no
// settings. Ends with status 1 when the preview's window does not exist.
#include <windows.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "gdi8.h"
#include "run.h"

namespace {

// A window handle as the system writes it, in decimal; false for anything else.
bool Handle(const std::string& text, uintptr_t& handle) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
    errno = 0;
    const unsigned long long value = std::strtoull(text.c_str(), nullptr, 10);
    if (errno || value > UINTPTR_MAX) return false;
    handle = static_cast<uintptr_t>(value);
    return true;
}

// The command line as the system writes it.
struct Command {
    char mode;           // the option's letter in lower case; 0 when there is none
    std::string handle;  // the text after the colon, else the words after the option
    bool alone;          // nothing but the option
};

// The first word: a slash or a dash, one letter in either case, and the
// handle after a colon or as the next word.
Command ReadCommand(const char* commandLine) {
    std::string words = commandLine;
    const size_t start = words.find_first_not_of(" \t");
    words = start == std::string::npos ? "" : words.substr(start);
    const size_t end = words.find_first_of(" \t");
    const std::string first = words.substr(0, end);
    std::string rest = end == std::string::npos ? "" : words.substr(end);
    rest.erase(0, rest.find_first_not_of(" \t"));
    rest.erase(rest.find_last_not_of(" \t") + 1);
    const char mode = first.size() >= 2 && (first[0] == '/' || first[0] == '-') &&
                              (first.size() == 2 || first[2] == ':')
                          ? static_cast<char>(std::tolower(static_cast<unsigned char>(first[1])))
                          : 0;
    return {mode, first.size() > 3 ? first.substr(3) : rest, rest.empty()};
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    const Command command = ReadCommand(commandLine);
    gdi8::Placement placement;
    if (command.mode == 's' && command.alone) {
        placement.where = gdi8::Place::Screen;
        gdi8::ChoosePlacement(placement);
        return ukvo2::Run();
    }
    if (command.mode == 'p') {
        if (!Handle(command.handle, placement.parent) || !IsWindow(reinterpret_cast<HWND>(placement.parent)))
            return 1;
        placement.where = gdi8::Place::Inside;
        gdi8::ChoosePlacement(placement);
        return ukvo2::Run();
    }
    uintptr_t owner = 0;
    if (command.mode != 'c' || !Handle(command.handle, owner) ||
        !IsWindow(reinterpret_cast<HWND>(owner)))
        owner = 0;
    MessageBoxA(reinterpret_cast<HWND>(owner), "Kvo has no settings.", "Kvo",
                MB_OK | MB_ICONINFORMATION);
    return 0;
}
