// kvo2_wincheck: looks at the window of a running kvo2.exe from another
// process, for the end-to-end test under Wine. Each command prints what it
// saw and exits 0 when the window is as expected, 1 when not:
//   open S         waits S seconds at most for the window: its class, styles,
//                  client size and centring, the title "Kvo", then the frame rate
//   zoom N S       waits S seconds at most for N x the zoom-1 outer size, centred
//   client         prints the client area on the screen: X Y W H
//   gone S         waits S seconds at most for the window to close
//   icon EXE       loads the program file's icon IDI_MAIN at 32 and 16 pixels
//   syscommand ID  sends the window a system command, waits until it is handled
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <regex>
#include <string>

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

std::string Title(HWND w) {
    char text[256] = "";
    GetWindowTextA(w, text, sizeof text);
    return text;
}

RECT Outer(HWND w) {
    RECT r;
    GetWindowRect(w, &r);
    return r;
}

// The outer size at zoom 1: the frame enlarged by the window's frame.
SIZE ZoomOne() {
    RECT r = {0, 0, 640, 480};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    return {r.right - r.left, r.bottom - r.top};
}

bool Zoomed(HWND w, int n) {
    const RECT r = Outer(w);
    return r.right - r.left == ZoomOne().cx * n && r.bottom - r.top == ZoomOne().cy * n;
}

void ExpectPlacement(HWND w, int n) {
    const SIZE one = ZoomOne();
    const RECT r = Outer(w);
    Expect("outer width", r.right - r.left, one.cx * n);
    Expect("outer height", r.bottom - r.top, one.cy * n);
    Expect("left", r.left, (GetSystemMetrics(SM_CXSCREEN) - one.cx * n) / 2);
    Expect("top", r.top, (GetSystemMetrics(SM_CYSCREEN) - one.cy * n) / 2);
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
    ExpectPlacement(w, 1);
    const char* rate = "Kvo [0-9]+\\.[0-9][0-9] fps";
    Within(10, [&] { return std::regex_match(Title(w), std::regex(rate)); });
    ExpectText("rate title", Title(w), rate);
    return Failures ? 1 : 0;
}

int Icon(const char* path) {
    HMODULE program = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    for (int size : {32, 16}) {
        HICON icon = size == 32 ? LoadIconA(program, "IDI_MAIN")
                                : static_cast<HICON>(LoadImageA(program, "IDI_MAIN", IMAGE_ICON, 16, 16, 0));
        ICONINFO info = {};
        BITMAP bitmap = {};
        const bool loaded = program && icon && GetIconInfo(icon, &info) &&
                            GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
        Expect(size == 32 ? "LoadIconA IDI_MAIN, width" : "LoadImageA IDI_MAIN 16, width",
               loaded ? bitmap.bmWidth : -1, size);
    }
    return Failures ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    const std::string command = argc > 1 ? argv[1] : "";
    const double seconds = std::atof(argv[argc - 1]);
    if (command == "icon" && argc == 3) return Icon(argv[2]);
    if (command == "gone" && argc == 3) return Within(seconds, [] { return !Find(); }) ? 0 : 1;
    HWND w = nullptr;
    Within(command == "open" ? seconds : 0, [&] { return (w = Find()) != nullptr; });
    if (!w) {
        std::printf("FAIL no window of class Kvo\n");
        return 1;
    }
    if (command == "open" && argc == 3) return Open(w);
    if (command == "zoom" && argc == 4) {
        const int n = std::atoi(argv[2]);
        Within(seconds, [&] { return Zoomed(w, n); });
        ExpectPlacement(w, n);
        return Failures ? 1 : 0;
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
    if (command == "syscommand" && argc == 3)
        return SendMessageTimeoutA(w, WM_SYSCOMMAND, std::strtoul(argv[2], nullptr, 0), 0, SMTO_ABORTIFHUNG,
                                   5000, &result) ? 0 : 1;
    std::fprintf(stderr, "usage: kvo2_wincheck open S | zoom N S | client | gone S | icon EXE | syscommand ID\n");
    return 2;
}
