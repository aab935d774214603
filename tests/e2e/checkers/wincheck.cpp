// kvo2_wincheck: looks at the window of a running kvo2.exe from another
// process, under Wine. Each command prints what it saw and exits 0 when the
// window is as expected, 1 when not; S is the most seconds it waits:
//   open S         the window: class, styles, client size, centring, the title
//                  "Kvo", then the frame rate
//   zoom N [X Y W H] S  N x the zoom-1 outer size, centred on the monitor at
//                  X, Y of W x H (by default the primary one)
//   move X Y S     moves the window's top left to X, Y; waits until it is there
//   client         prints the client area on the screen: X Y W H
//   dpi            prints the window's dots per inch (GetDpiForWindow)
//   gone S         the window closed
//   syscommand ID  sends a system command; displaychange tells the window
//                  that the display changed (a monitor came, went or changed);
//                  both wait until it is handled
//   frames T...    prints "SET T HASH": the frame at each clock reading by
//                  every kernel set the processor runs
// for the screen saver kvo2.scr:
//   screen S       its window: a topmost popup over the screen, no cursor
//   host W H S     prints the handle of a new window of W x H client area; the
//                  preview must fill it as its child and follow it to W/2 x H
//   box S          the message box "Kvo has no settings.", then clicks OK
// and for the desktop:
//   active         prints the screen-saver setting: 1 on, 0 off
//   activate N     sets it to N (not in the user profile) and prints it
//   monitors       prints each monitor's rectangle on the desktop: X Y W H
//   foreground XID S  makes the window shown in X window XID the foreground one
//                  (the keyboard's), waiting until it is; else prints the one that is
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>

#include "kernels/select.h"
#include "test_util.h"
#include "frame.h"
#include "path.h"
// After the others: windows.h defines many macros.
#include <windows.h>

namespace {

int Failures = 0;

void Expect(const char* what, long long got, long long want) {
    std::printf("%s %s: %lld (want %lld)\n", got == want ? "ok  " : "FAIL", what, got, want);
    Failures += got != want;
}

void ExpectText(const char* what, const std::string& got, const char* pattern) {
    const bool ok = std::regex_match(got, std::regex(pattern));
    std::printf("%s %s: \"%s\" (want \"%s\")\n", ok ? "ok  " : "FAIL", what, got.c_str(), pattern);
    Failures += !ok;
}

// True as soon as done() holds, false after `seconds`.
template <typename F>
bool Within(double seconds, F done) {
    for (DWORD start = GetTickCount(); !done(); Sleep(10))
        if (GetTickCount() - start > seconds * 1000) return false;
    return true;
}

HWND Find() { return FindWindowA("Kvo", nullptr); }

// The X window that Wine's X11 driver shows a top-level window in.
unsigned long XWindow(HWND w) {
    return static_cast<unsigned long>(reinterpret_cast<uintptr_t>(GetPropA(w, "__wine_x11_whole_window")));
}

std::string Title(HWND w) {
    char text[256] = "";
    GetWindowTextA(w, text, sizeof text);
    return text;
}

// The outer size of a window of the program's style with a client area of w x h.
SIZE Outer(int w, int h) {
    RECT r = {0, 0, w, h};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    return {r.right - r.left, r.bottom - r.top};
}

// Whether a window's rectangle is {left, top, width, height}; with `report`,
// each figure printed.
bool At(HWND w, const long (&want)[4], bool report) {
    RECT r;
    GetWindowRect(w, &r);
    const long got[4] = {r.left, r.top, r.right - r.left, r.bottom - r.top};
    const char* names[4] = {"left", "top", "width", "height"};
    bool at = true;
    for (int i = 0; i < 4; ++i) {
        at &= got[i] == want[i];
        if (report) Expect(names[i], got[i], want[i]);
    }
    return at;
}

// Whether the window is n times its zoom-1 outer size, centred on the
// monitor at m (left, top, width, height).
bool Placed(HWND w, int n, const long (&m)[4], bool report) {
    const SIZE one = Outer(640, 480);
    const long width = one.cx * n, height = one.cy * n;
    return At(w, {m[0] + (m[2] - width) / 2, m[1] + (m[3] - height) / 2, width, height}, report);
}

int Open(HWND w) {
    ExpectText("title", Title(w), "Kvo");  // read at once: it changes after two seconds
    char name[64] = "";
    GetClassNameA(w, name, sizeof name);
    ExpectText("class", name, "Kvo");
    Expect("class style", static_cast<long long>(GetClassLongPtrA(w, GCL_STYLE)), 0x23);
    // It may be found between its creation and ShowWindow.
    Expect("visible", Within(5, [w] { return IsWindowVisible(w); }), 1);
    Expect("window style", GetWindowLongA(w, GWL_STYLE) & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
    RECT client;
    GetClientRect(w, &client);
    Expect("client width", client.right, 640);
    Expect("client height", client.bottom, 480);
    Placed(w, 1, {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, true);
    const char* rate = "Kvo [0-9]+\\.[0-9][0-9] fps";
    Within(10, [&] { return std::regex_match(Title(w), std::regex(rate)); });
    ExpectText("rate title", Title(w), rate);
    return Failures ? 1 : 0;
}

int Screen(HWND w) {
    Expect("popup, no caption", GetWindowLongA(w, GWL_STYLE) & (WS_POPUP | WS_CAPTION), WS_POPUP);
    Expect("topmost", GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST, WS_EX_TOPMOST);
    At(w, {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
           GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)}, true);
    Expect("class cursor", GetClassLongPtrA(w, GCLP_HCURSOR), 0);
    // Paced: two new rates in the window's text, each within 10 s and at most the display's 60 a
    // second. No fewest: a busy machine gave the first as 1.99.
    const std::regex form("Kvo [0-9.]+ fps");
    std::string last = Title(w);
    for (int k = 0; k < 2; ++k) {
        const std::string before = last;
        const bool fresh = Within(10, [&] { return (last = Title(w)) != before && std::regex_match(last, form); });
        const double rate = std::atof(last.c_str() + 4);
        const bool paced = fresh && rate > 0 && rate <= 60.5;
        std::printf("%s paced: \"%s\" (want a new rate of at most 60.5 fps)\n", paced ? "ok  " : "FAIL", last.c_str());
        Failures += !paced;
    }
    return Failures ? 1 : 0;
}

int Host(int width, int height, double seconds) {
    WNDCLASSA c = {};
    c.lpfnWndProc = DefWindowProcA;
    c.lpszClassName = "Host";
    RegisterClassA(&c);
    const SIZE outer = Outer(width, height);
    HWND host = CreateWindowExA(0, "Host", "Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, outer.cx, outer.cy,
                                nullptr, nullptr, nullptr, nullptr);
    std::printf("%llu\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(host)));
    for (const int w : {width, width / 2}) {
        const SIZE o = Outer(w, height);
        SetWindowPos(host, nullptr, 0, 0, o.cx, o.cy, SWP_NOMOVE | SWP_NOZORDER);
        HWND child = nullptr;
        RECT client = {};
        Within(seconds, [&] {
            MSG m;
            while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
            child = FindWindowExA(host, nullptr, "Kvo", nullptr);
            return child && GetClientRect(child, &client) && client.right == w && client.bottom == height;
        });
        Expect("child of the window", child != nullptr, 1);
        Expect("child style", GetWindowLongA(child, GWL_STYLE) & WS_CHILD, WS_CHILD);
        Expect("child width", client.right, w);
        Expect("child height", client.bottom, height);
    }
    DestroyWindow(host);
    return Failures ? 1 : 0;
}

int Box(double seconds) {
    HWND box = nullptr;
    char text[128] = "";
    // Found as soon as it is made, the box may not hold its text yet.
    Within(seconds, [&] {
        box = FindWindowA("#32770", "Kvo");
        for (HWND c = nullptr; box && !text[0] && (c = FindWindowExA(box, c, "Static", nullptr));)
            GetWindowTextA(c, text, sizeof text);
        return text[0] != 0;
    });
    ExpectText("message box", text, "Kvo has no settings\\.");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return Failures ? 1 : 0;
}

BOOL CALLBACK PrintMonitor(HMONITOR, HDC, LPRECT r, LPARAM) {
    std::printf("%ld %ld %ld %ld\n", r->left, r->top, r->right - r->left, r->bottom - r->top);
    return TRUE;
}

// Makes the window shown in X window `xid` the foreground one, each second anew (a new one takes it).
int Foreground(unsigned long xid, double seconds) {
    HWND w = nullptr;
    for (HWND c = nullptr; !w && (c = FindWindowExA(nullptr, c, nullptr, nullptr));) w = XWindow(c) == xid ? c : w;
    for (DWORD start = GetTickCount(); w && GetTickCount() - start < seconds * 1000;) {
        SetForegroundWindow(w);
        if (Within(1, [w] { return GetForegroundWindow() == w; })) return 0;
    }
    std::printf("FAIL the foreground window is shown in X window %lu, not %lu\n", XWindow(GetForegroundWindow()), xid);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    const std::string command = argc > 1 ? argv[1] : "";
    const double seconds = std::atof(argv[argc - 1]);
    if (command == "frames") {
        ukvo2::BuildPath();
        size_t count = 0;
        const ukvo2::KernelSet* sets = ukvo2::KernelSets(count);
        for (size_t k = 0; k < count; ++k) {
            ukvo2::ChooseKernels(sets[k]);
            for (int i = 2; i < argc; ++i) {
                ukvo2::RenderFrameAt(static_cast<uint32_t>(std::strtoul(argv[i], nullptr, 10)));
                std::printf("%s %s %016llx\n", sets[k].name, argv[i],
                            static_cast<unsigned long long>(testutil::Fnv1a(ukvo2::Pixels, ukvo2::FrameBytes)));
            }
        }
        return 0;
    }
    // The setting as a program with a window sees it: under Wine, once the
    // display driver is loaded (by the first window), the X server's.
    if (command == "active" || command == "activate")
        CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (command == "activate" && argc == 3 &&
        !SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, std::atoi(argv[2]), nullptr, 0))
        return 1;
    // Read back after a change too: under Wine, that sends it to the X server.
    if ((command == "active" && argc == 2) || (command == "activate" && argc == 3)) {
        BOOL active = FALSE;
        if (!SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0)) return 1;
        std::printf("%d\n", active ? 1 : 0);
        return 0;
    }
    if (command == "monitors" && argc == 2) {
        EnumDisplayMonitors(nullptr, nullptr, PrintMonitor, 0);
        return 0;
    }
    if (command == "gone" && argc == 3) return Within(seconds, [] { return !Find(); }) ? 0 : 1;
    if (command == "host" && argc == 5) return Host(std::atoi(argv[2]), std::atoi(argv[3]), seconds);
    if (command == "box" && argc == 3) return Box(seconds);
    if (command == "foreground" && argc == 4) return Foreground(std::strtoul(argv[2], nullptr, 10), seconds);
    HWND w = nullptr;
    Within(command == "open" || command == "screen" ? seconds : 0, [&] { return (w = Find()) != nullptr; });
    if (!w) {
        std::printf("FAIL no window of class Kvo\n");
        return 1;
    }
    if (command == "open" && argc == 3) return Open(w);
    if (command == "screen" && argc == 3) return Screen(w);
    if (command == "zoom" && (argc == 4 || argc == 8)) {
        long m[4] = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        for (int i = 0; argc == 8 && i < 4; ++i) m[i] = std::atol(argv[3 + i]);
        Within(seconds, [&] { return Placed(w, std::atoi(argv[2]), m, false); });
        return Placed(w, std::atoi(argv[2]), m, true) ? 0 : 1;
    }
    if (command == "move" && argc == 5) {
        RECT r;
        GetWindowRect(w, &r);
        const long at[4] = {std::atol(argv[2]), std::atol(argv[3]), r.right - r.left, r.bottom - r.top};
        SetWindowPos(w, nullptr, at[0], at[1], 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        Within(seconds, [&] { return At(w, at, false); });
        return At(w, at, true) ? 0 : 1;
    }
    if (command == "dpi" && argc == 2) {
        using DpiForWindow = UINT(WINAPI*)(HWND);
        const auto dpi = reinterpret_cast<DpiForWindow>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
        std::printf("%u\n", dpi ? dpi(w) : 0u);
        return 0;
    }
    if (command == "client" && argc == 2) {
        RECT client;
        GetClientRect(w, &client);
        POINT origin = {0, 0};
        ClientToScreen(w, &origin);
        std::printf("%ld %ld %ld %ld\n", origin.x, origin.y, client.right, client.bottom);
        return 0;
    }
    DWORD_PTR result = 0;
    if (command == "displaychange" && argc == 2)
        return SendMessageTimeoutA(w, WM_DISPLAYCHANGE, 32, MAKELPARAM(GetSystemMetrics(SM_CXSCREEN),
                                   GetSystemMetrics(SM_CYSCREEN)), SMTO_ABORTIFHUNG, 5000, &result) ? 0 : 1;
    if (command == "syscommand" && argc == 3)
        return SendMessageTimeoutA(w, WM_SYSCOMMAND, std::strtoul(argv[2], nullptr, 0), 0, SMTO_ABORTIFHUNG,
                                   5000, &result) ? 0 : 1;
    std::fprintf(stderr, "usage: kvo2_wincheck COMMAND ARGUMENTS... (the commands are listed in wincheck.cpp)\n");
    return 2;
}
