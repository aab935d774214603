// WindowDpi and OuterSize through Windows 10's calls where it has them,
// looked up at run time so that older Windows still start the program.
#include "window_scale.h"

namespace gdi8 {

namespace {

using DpiForWindow = UINT(WINAPI*)(HWND);
using AdjustForDpi = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

// A call of user32.dll by name, or null where this Windows lacks it.
template <typename F>
F User32(const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

UINT SystemDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

}  // namespace

UINT WindowDpi(HWND window) {
    const auto forWindow = User32<DpiForWindow>("GetDpiForWindow");
    const UINT dpi = window && forWindow ? forWindow(window) : 0;
    return dpi ? dpi : SystemDpi();
}

SIZE OuterSize(DWORD style, int width, int height, UINT dpi) {
    RECT r = {0, 0, width, height};
    const auto adjust = User32<AdjustForDpi>("AdjustWindowRectExForDpi");
    if (!adjust || !adjust(&r, style, FALSE, 0, dpi)) AdjustWindowRect(&r, style, FALSE);
    return {r.right - r.left, r.bottom - r.top};
}

}  // namespace gdi8
