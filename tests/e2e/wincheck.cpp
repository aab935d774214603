// kvo2_wincheck: looks at the window of a running kvo2.exe from another
// process, for the end-to-end test under Wine. Every command prints what it
// saw and exits 0 when the window is as expected, 1 when not.
//
//   kvo2_wincheck open SECONDS     waits for the window, checks how it opened
//   kvo2_wincheck zoom N SECONDS   waits until the window is N x its zoom-1
//                                  outer size and centred
//   kvo2_wincheck client           prints the client area on the screen: X Y W H
//   kvo2_wincheck gone SECONDS     waits until the window has closed
//   kvo2_wincheck icon EXE         loads the icon IDI_MAIN of the program file
//   kvo2_wincheck syscommand ID    sends the window a system command and waits
//                                  until it has been handled
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <string>

namespace {

constexpr int FrameWidth = 640;
constexpr int FrameHeight = 480;
int Failures = 0;

void Expect(bool ok, const char* what, long long got, long long want) {
    std::printf("%s %s: %lld (want %lld)\n", ok ? "ok  " : "FAIL", what, got, want);
    if (!ok) ++Failures;
}

void ExpectEqual(const char* what, long long got, long long want) { Expect(got == want, what, got, want); }

HWND Find() { return FindWindowA("Kvo", nullptr); }

HWND WaitFor(double seconds) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < seconds * 1000; Sleep(5))
        if (HWND w = Find()) return w;
    return nullptr;
}

std::string Title(HWND w) {
    char text[256] = "";
    GetWindowTextA(w, text, sizeof text);
    return text;
}

// The outer size of the window at zoom 1.
SIZE ZoomOneSize() {
    RECT r = {0, 0, FrameWidth, FrameHeight};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    return {r.right - r.left, r.bottom - r.top};
}

void CheckPlacement(HWND w, int n) {
    const SIZE one = ZoomOneSize();
    RECT r;
    GetWindowRect(w, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    ExpectEqual("outer width", width, one.cx * n);
    ExpectEqual("outer height", height, one.cy * n);
    ExpectEqual("left", r.left, (GetSystemMetrics(SM_CXSCREEN) - one.cx * n) / 2);
    ExpectEqual("top", r.top, (GetSystemMetrics(SM_CYSCREEN) - one.cy * n) / 2);
}

int Open(double seconds) {
    HWND w = WaitFor(seconds);
    if (!w) {
        std::printf("FAIL no window of class Kvo within %.0f s\n", seconds);
        return 1;
    }
    // The first title, read at once: it changes two seconds after start-up.
    const std::string first = Title(w);
    std::printf("%s title: \"%s\" (want \"Kvo\")\n", first == "Kvo" ? "ok  " : "FAIL", first.c_str());
    Failures += first != "Kvo";

    char name[64] = "";
    GetClassNameA(w, name, sizeof name);
    std::printf("%s class: \"%s\" (want \"Kvo\")\n", std::strcmp(name, "Kvo") ? "FAIL" : "ok  ", name);
    Failures += std::strcmp(name, "Kvo") != 0;
    ExpectEqual("class style", static_cast<long long>(GetClassLongPtrA(w, GCL_STYLE)), 0x23);
    // It may be found between its creation and ShowWindow: let it show.
    for (DWORD start = GetTickCount(); GetTickCount() - start < 5000 && !IsWindowVisible(w); Sleep(5)) {
    }
    Expect(IsWindowVisible(w) != 0, "visible", IsWindowVisible(w) != 0, 1);
    ExpectEqual("window style", static_cast<long long>(GetWindowLongA(w, GWL_STYLE) & WS_OVERLAPPEDWINDOW), WS_OVERLAPPEDWINDOW);

    RECT client;
    GetClientRect(w, &client);
    ExpectEqual("client width", client.right, FrameWidth);
    ExpectEqual("client height", client.bottom, FrameHeight);
    CheckPlacement(w, 1);

    // The rate replaces the title within a few seconds, in its own format.
    const std::regex rate("Kvo [0-9]+\\.[0-9][0-9] fps");
    std::string title = first;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 10000 && !std::regex_match(title, rate); Sleep(50))
        title = Title(w);
    const bool ok = std::regex_match(title, rate);
    std::printf("%s rate title: \"%s\"\n", ok ? "ok  " : "FAIL", title.c_str());
    Failures += !ok;
    return Failures ? 1 : 0;
}

// The icon resource IDI_MAIN of the program file, loaded the way the window
// class loads it.
int Icon(const char* path) {
    HMODULE program = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!program) {
        std::printf("FAIL cannot load %s\n", path);
        return 1;
    }
    const struct {
        int size;
    } images[] = {{32}, {16}};
    for (const auto& image : images) {
        HICON icon = image.size == 32 ? LoadIconA(program, "IDI_MAIN")
                                      : static_cast<HICON>(LoadImageA(program, "IDI_MAIN", IMAGE_ICON, 16, 16, 0));
        ICONINFO info = {};
        BITMAP bitmap = {};
        const bool loaded = icon && GetIconInfo(icon, &info) && GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
        Expect(loaded, image.size == 32 ? "LoadIconA IDI_MAIN" : "LoadImageA IDI_MAIN 16", loaded, 1);
        if (loaded) ExpectEqual("icon width", bitmap.bmWidth, image.size);
    }
    return Failures ? 1 : 0;
}

int Zoom(int n, double seconds) {
    HWND w = Find();
    if (!w) {
        std::printf("FAIL no window\n");
        return 1;
    }
    const SIZE one = ZoomOneSize();
    for (DWORD start = GetTickCount(); GetTickCount() - start < seconds * 1000; Sleep(20)) {
        RECT r;
        GetWindowRect(w, &r);
        if (r.right - r.left == one.cx * n && r.bottom - r.top == one.cy * n) break;
    }
    CheckPlacement(w, n);
    return Failures ? 1 : 0;
}

int Client() {
    HWND w = Find();
    if (!w) return 1;
    RECT client;
    GetClientRect(w, &client);
    POINT origin = {0, 0};
    ClientToScreen(w, &origin);
    std::printf("%ld %ld %ld %ld\n", origin.x, origin.y, client.right, client.bottom);
    return 0;
}

int Gone(double seconds) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < seconds * 1000; Sleep(20))
        if (!Find()) return 0;
    std::printf("FAIL the window is still open after %.0f s\n", seconds);
    return 1;
}

int SysCommand(unsigned long id) {
    const HWND w = Find();
    if (!w) {
        std::printf("FAIL no window\n");
        return 1;
    }
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(w, WM_SYSCOMMAND, id, 0, SMTO_ABORTIFHUNG, 5000, &result)) {
        std::printf("FAIL WM_SYSCOMMAND %lu was not handled\n", id);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "open" && argc == 3) return Open(std::atof(argv[2]));
    if (command == "zoom" && argc == 4) return Zoom(std::atoi(argv[2]), std::atof(argv[3]));
    if (command == "client" && argc == 2) return Client();
    if (command == "icon" && argc == 3) return Icon(argv[2]);
    if (command == "gone" && argc == 3) return Gone(std::atof(argv[2]));
    if (command == "syscommand" && argc == 3) return SysCommand(std::strtoul(argv[2], nullptr, 0));
    std::fprintf(stderr,
                 "usage: kvo2_wincheck open S | zoom N S | client | gone S | icon EXE | syscommand ID\n");
    return 2;
}
