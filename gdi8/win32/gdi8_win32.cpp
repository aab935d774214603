// The window through Windows USER and GDI: an 8-bit top-down DIB stretched
// over the client area by StretchDIBits, painted synchronously each frame.
#include <windows.h>
#include <mmsystem.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "gdi8.h"
#include "placement.h"
#include "monitors.h"
#include "present.h"
#include "screen_saver_hold.h"
#include "window_scale.h"

namespace gdi8 {

namespace {

// The window, from OpenWindow until CloseWindow.
HWND TheWindow = nullptr;
HWND Window() { return TheWindow; }

// The class owns its device context: fetched once, used for every paint.
HDC DeviceContext = nullptr;
WNDCLASSA WindowClass;
int BitmapWidth = 0;
int BitmapHeight = 0;
// The outer size at zoom 1: the client area grown by caption and borders.
int OuterWidth = 0;
int OuterHeight = 0;
int WindowX = 0;
int WindowY = 0;
// The pixels to paint; null means there is nothing to paint.
const uint8_t* PaintPixels = nullptr;
// The bitmap header and its 256-entry colour table, allocated once.
BITMAPINFO* Header = nullptr;
constexpr size_t HeaderBytes = sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD);
static_assert(HeaderBytes == 1064, "a 40-byte header and 256 colour entries");
char Failure[128] = "";
// Where the cursor was when the screen saver started, and how far it may
// move from there before the screen saver ends.
POINT CursorAtStart;
constexpr int MouseSlack = 4;

HWND ParentWindow() { return reinterpret_cast<HWND>(Chosen.parent); }

// A screen saver's frames come at the display's pace.
bool Paced = false;
Pace FramePace;
// Outside a window of its own: one picture per monitor (one in a preview),
// each stretched into a 32-bit bitmap of its size; and where the pictures
// went last.
struct Surface {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    uint32_t* bits = nullptr;
    int width = 0, height = 0;
};
std::vector<Surface> Surfaces;
std::vector<MonitorPicture> Placed;
// The monitors on the desktop, read again after the display changes.
std::vector<Box> Monitors;
bool MonitorsStale = true;

// Only the program's own windows hold the screen saver off.
bool HoldsScreenSaverOff() { return Chosen.where == Place::Window || Chosen.where == Place::FullScreen; }

bool Fail(const char* what) {
    std::snprintf(Failure, sizeof Failure, "%s failed (error %lu)", what, GetLastError());
    return false;
}

// The position that centres a window of this outer size on the screen; off
// the screen's top left when the window is larger than the screen.
POINT Centred(int width, int height) {
    return {(GetSystemMetrics(SM_CXSCREEN) - width) / 2,
            (GetSystemMetrics(SM_CYSCREEN) - height) / 2};
}

// Makes `surface` a 32-bit top-down bitmap of width x height for
// StretchFrame to draw in, again only when the size changes; false where it
// cannot be made.
bool SizeSurface(Surface& surface, int width, int height) {
    if (surface.bitmap && width == surface.width && height == surface.height) return true;
    if (!surface.dc) surface.dc = CreateCompatibleDC(DeviceContext);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP bitmap =
        surface.dc ? CreateDIBSection(DeviceContext, &info, DIB_RGB_COLORS, &bits, nullptr, 0)
                   : nullptr;
    if (!bitmap) return false;
    SelectObject(surface.dc, bitmap);
    if (surface.bitmap) DeleteObject(surface.bitmap);
    surface = Surface{surface.dc, bitmap, static_cast<uint32_t*>(bits), width, height};
    return true;
}

// The black bars of each monitor around its picture.
void PaintBars(const std::vector<MonitorPicture>& layout) {
    for (const MonitorPicture& part : layout) {
        const Box& m = part.monitor;
        const Box& box = part.picture;
        const int right = box.x + box.width, bottom = box.y + box.height;
        PatBlt(DeviceContext, m.x, m.y, box.x - m.x, m.height, BLACKNESS);
        PatBlt(DeviceContext, right, m.y, m.x + m.width - right, m.height, BLACKNESS);
        PatBlt(DeviceContext, m.x, m.y, m.width, box.y - m.y, BLACKNESS);
        PatBlt(DeviceContext, m.x, bottom, m.width, m.y + m.height - bottom, BLACKNESS);
    }
}

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT area, LPARAM list) {
    reinterpret_cast<std::vector<Box>*>(list)->push_back(
        Box{area->left, area->top, area->right - area->left, area->bottom - area->top});
    return TRUE;
}

// The monitors on the virtual desktop; and the window, over the whole of it,
// moved to cover it again where a monitor came, went or changed.
void ReadMonitors(HWND window) {
    Monitors.clear();
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&Monitors));
    const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    RECT now;
    GetWindowRect(window, &now);
    if (now.left != x || now.top != y || now.right - now.left != width || now.bottom - now.top != height)
        SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    MonitorsStale = false;
}

// Where the pictures go in a client area of width x height: one per monitor
// over the desktop, one fitted to another program's window.
std::vector<MonitorPicture> Layout(HWND window, int width, int height) {
    if (Chosen.where == Place::Inside)
        return PicturesOnMonitors({}, Box{0, 0, width, height}, BitmapWidth, BitmapHeight);
    if (MonitorsStale) ReadMonitors(window);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    return PicturesOnMonitors(Monitors, Box{origin.x, origin.y, width, height}, BitmapWidth, BitmapHeight);
}

// Picture k of the layout: stretched into its surface, or taken from the
// first picture of the same size, and copied to the window. `ready` says
// which surfaces hold this frame.
void PaintPicture(const std::vector<MonitorPicture>& layout, size_t k, const uint32_t colours[256],
                  std::vector<bool>& ready) {
    const Box& box = layout[k].picture;
    if (box.width <= 0 || box.height <= 0) return;
    size_t from = 0;
    while (layout[from].picture.width != box.width || layout[from].picture.height != box.height) ++from;
    if (from == k && SizeSurface(Surfaces[k], box.width, box.height)) {
        StretchFrame(PaintPixels, BitmapWidth, BitmapHeight, colours, Surfaces[k].bits, box.width,
                     box.height, static_cast<size_t>(box.width));
        GdiFlush();
        ready[k] = true;
    }
    if (ready[from]) {
        BitBlt(DeviceContext, box.x, box.y, box.width, box.height, Surfaces[from].dc, 0, 0, SRCCOPY);
        return;
    }
    // No memory for the bitmap: GDI stretches. Shrunk into a preview, whole
    // lines are dropped rather than blended into colours outside the palette.
    const bool shrunk = box.width < BitmapWidth || box.height < BitmapHeight;
    SetStretchBltMode(DeviceContext, shrunk ? COLORONCOLOR : BLACKONWHITE);
    StretchDIBits(DeviceContext, box.x, box.y, box.width, box.height, 0, 0, BitmapWidth, BitmapHeight,
                  PaintPixels, Header, DIB_RGB_COLORS, SRCCOPY);
}

// The frame on every monitor at its aspect, between black bars, painted
// when asked or when the layout changed.
void PaintPictures(HWND window, int width, int height, bool bars) {
    const std::vector<MonitorPicture> layout = Layout(window, width, height);
    if (bars || !SameLayout(layout, Placed)) PaintBars(layout);
    Placed = layout;
    if (Surfaces.size() < layout.size()) Surfaces.resize(layout.size());
    uint32_t colours[256];  // blue, green, red, 0: a 32-bit bitmap's pixels
    std::memcpy(colours, Header->bmiColors, sizeof colours);
    std::vector<bool> ready(layout.size());
    for (size_t k = 0; k < layout.size(); ++k) PaintPicture(layout, k, colours, ready);
}

// Stretches the frame over the client area; outside a window of its own, at
// the frame's aspect between black bars.
void Paint(HWND window, bool bars) {
    RECT client;
    GetClientRect(window, &client);
    const int width = client.right - client.left, height = client.bottom - client.top;
    if (Chosen.where == Place::Window) {
        StretchDIBits(DeviceContext, 0, 0, width, height, 0, 0, BitmapWidth, BitmapHeight,
                      PaintPixels, Header, DIB_RGB_COLORS, SRCCOPY);
        return;
    }
    PaintPictures(window, width, height, bars);
}

// Inside another program's window: ends with it, and keeps its client size.
void FollowParent() {
    if (!IsWindow(ParentWindow())) {
        CloseWindow();
        ExitProcess(0);
    }
    RECT want, have;
    GetClientRect(ParentWindow(), &want);
    GetClientRect(Window(), &have);
    if (want.right != have.right || want.bottom != have.bottom)
        SetWindowPos(Window(), nullptr, 0, 0, want.right, want.bottom,
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

// A screen saver ends on a mouse movement of more than a few pixels.
bool MouseMovedAway() {
    POINT at;
    GetCursorPos(&at);
    return std::abs(at.x - CursorAtStart.x) > MouseSlack ||
           std::abs(at.y - CursorAtStart.y) > MouseSlack;
}

// On a monitor of another scale: the client area keeps its device size, and
// so its zoom, and the zoom-1 outer size follows the new caption and borders.
// The window goes where Windows suggests, but not at the size it suggests,
// which would scale the client area too.
void KeepDeviceSize(HWND window, UINT dpi, const RECT& suggested) {
    RECT client;
    GetClientRect(window, &client);
    const SIZE one = OuterSize(WS_OVERLAPPEDWINDOW, BitmapWidth, BitmapHeight, dpi);
    OuterWidth = one.cx;
    OuterHeight = one.cy;
    const SIZE now = OuterSize(WS_OVERLAPPEDWINDOW, client.right, client.bottom, dpi);
    SetWindowPos(window, nullptr, suggested.left, suggested.top, now.cx, now.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

// n times the zoom-1 outer size, centred on the monitor that holds most of
// the window (on a desk of one monitor, on the screen).
void Zoom(HWND window, int n) {
    std::vector<Box> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    RECT now;
    GetWindowRect(window, &now);
    const Box primary{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const Box to = CentredOnMonitor(monitors, primary, Box{now.left, now.top, now.right - now.left,
                                    now.bottom - now.top}, OuterWidth * n, OuterHeight * n);
    SetWindowPos(window, nullptr, to.x, to.y, to.width, to.height, SWP_NOZORDER);
}

// Handles a system command if it is one of the zoom entries, whose low three
// bits are the factor. One whose factor bits are 0 would shrink the window to
// nothing; it is ignored.
bool ZoomCommand(HWND window, WPARAM command) {
    if ((command & ~static_cast<WPARAM>(0xF)) != ZoomCommandIds[0]) return false;
    if (command & 7) Zoom(window, static_cast<int>(command & 7));
    return true;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            if (PaintPixels) {
                Paint(window, true);
                ValidateRect(Window(), nullptr);
            }
            return 0;
        case WM_ERASEBKGND:
            return 0;
        case WM_CLOSE:
            CloseWindow();
            ExitProcess(0);
        case WM_KEYDOWN:
            if (Chosen.where == Place::Screen ||
                (Chosen.where != Place::Inside && (wParam & 0xFF) == VK_ESCAPE))
                SendMessageA(window, WM_CLOSE, 0, 0);
            return 0;
        case WM_SYSKEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_XBUTTONDOWN:
            if (Chosen.where == Place::Screen) SendMessageA(window, WM_CLOSE, 0, 0);
            break;
        case WM_MOUSEMOVE:
            if (Chosen.where == Place::Screen && MouseMovedAway()) SendMessageA(window, WM_CLOSE, 0, 0);
            break;
        case WM_SETCURSOR:
            if (Chosen.where == Place::Screen) {
                SetCursor(nullptr);
                return TRUE;
            }
            break;
        case WM_DISPLAYCHANGE:
            // A monitor came, went or changed: the next frame lays out anew.
            MonitorsStale = true;
            break;
        case WM_DESTROY:
            // Not closed by CloseWindow: the parent went and took it along.
            if (Chosen.where == Place::Inside && TheWindow) ExitProcess(0);
            break;
        case WM_SYSCOMMAND:
            if (ZoomCommand(window, wParam)) return 0;
            break;
        case WM_DPICHANGED:
            // Outside a window of its own, the window keeps its place and size.
            if (Chosen.where == Place::Window)
                KeepDeviceSize(window, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The window class, named by the title: the window procedure, the program's
// icon, and the arrow cursor except over a screen saver.
bool RegisterWindowClass(HINSTANCE instance, const char* title) {
    WindowClass = {};
    WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;
    WindowClass.lpfnWndProc = WindowProc;
    WindowClass.hInstance = instance;
    WindowClass.hIcon = LoadIconA(instance, "IDI_MAIN");
    WindowClass.hCursor = Chosen.where == Place::Screen ? nullptr : LoadCursorA(nullptr, IDC_ARROW);
    WindowClass.lpszClassName = title;
    return RegisterClassA(&WindowClass) || Fail("RegisterClassA");
}

// The bitmap's size, and the outer size (at the system's scale) and centred
// position of a window whose client area has that size.
void Measure(int width, int height) {
    const SIZE outer = OuterSize(WS_OVERLAPPEDWINDOW, width, height, WindowDpi(nullptr));
    OuterWidth = outer.cx;
    OuterHeight = outer.cy;
    BitmapWidth = width;
    BitmapHeight = height;
    const POINT at = Centred(OuterWidth, OuterHeight);
    WindowX = at.x;
    WindowY = at.y;
}

// The window as Where says: a window of its own, centred; a child filling
// the parent's client area; or a borderless window over the whole desktop.
HWND CreateWindowAtPlace(const char* title) {
    if (Chosen.where == Place::Window)
        return CreateWindowExA(0, title, title, WS_OVERLAPPEDWINDOW, WindowX, WindowY,
                               OuterWidth, OuterHeight, nullptr, nullptr, nullptr, nullptr);
    if (Chosen.where == Place::Inside) {
        RECT area;
        GetClientRect(ParentWindow(), &area);
        return CreateWindowExA(0, title, title, WS_CHILD, 0, 0, area.right, area.bottom,
                               ParentWindow(), nullptr, nullptr, nullptr);
    }
    // The whole desktop, every monitor of it; borderless, and a screen
    // saver above every other window.
    return CreateWindowExA(Chosen.where == Place::Screen ? WS_EX_TOPMOST : 0, title, title, WS_POPUP,
                           GetSystemMetrics(SM_XVIRTUALSCREEN),
                           GetSystemMetrics(SM_YVIRTUALSCREEN),
                           GetSystemMetrics(SM_CXVIRTUALSCREEN),
                           GetSystemMetrics(SM_CYVIRTUALSCREEN), nullptr, nullptr, nullptr,
                           nullptr);
}

// Made on a monitor whose scale is not the system's, the window takes the
// zoom-1 outer size at its own, centred again: a client area of the frame's
// size in device pixels.
void TakeOwnScale(HWND window) {
    const SIZE outer = OuterSize(WS_OVERLAPPEDWINDOW, BitmapWidth, BitmapHeight, WindowDpi(window));
    if (outer.cx == OuterWidth && outer.cy == OuterHeight) return;
    OuterWidth = outer.cx;
    OuterHeight = outer.cy;
    const POINT at = Centred(OuterWidth, OuterHeight);
    SetWindowPos(window, nullptr, at.x, at.y, OuterWidth, OuterHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The header of an 8-bit top-down bitmap of this size, its colour table the
// grey ramp.
BITMAPINFO* GreyHeader(int width, int height) {
    BITMAPINFO* header = static_cast<BITMAPINFO*>(std::calloc(1, HeaderBytes));
    header->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header->bmiHeader.biWidth = width;
    header->bmiHeader.biHeight = -height;  // rows from the top down
    header->bmiHeader.biPlanes = 1;
    header->bmiHeader.biBitCount = 8;
    header->bmiHeader.biCompression = BI_RGB;
    header->bmiHeader.biClrUsed = 256;
    for (int i = 0; i < 256; ++i) {
        const BYTE grey = static_cast<BYTE>(i);
        header->bmiColors[i] = {grey, grey, grey, 0};
    }
    return header;
}

// The zoom entries at the end of the window's system menu.
void AddZoomEntries(HWND window) {
    const HMENU menu = GetSystemMenu(window, FALSE);
    AppendMenuA(menu, MF_STRING, ZoomCommandIds[1], "Zoom 1 x 1");
    AppendMenuA(menu, MF_STRING, ZoomCommandIds[2], "Zoom 2 x 2");
    AppendMenuA(menu, MF_STRING, ZoomCommandIds[3], "Zoom 4 x 4");
}

// Dispatches every message waiting for the window.
void HandleMessages() {
    MSG message;
    while (PeekMessageA(&message, Window(), 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Seconds on a steady clock.
double Now() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// False while the window is hidden, minimised or wholly covered.
bool Seen() {
    RECT clip;
    return IsWindowVisible(Window()) && !IsIconic(Window()) &&
           GetClipBox(DeviceContext, &clip) != NULLREGION;
}

// Waits for the next frame's turn, handling messages meanwhile; for as long
// as the window cannot be seen, no frame is drawn at all.
void WaitForNextFrame() {
    double delay = PaceDelay(FramePace, Now());
    for (;;) {
        const bool seen = Seen();
        if (seen && delay <= 0) return;
        const DWORD ms = seen ? static_cast<DWORD>(std::ceil(delay * 1000)) : 100;
        if (MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT) == WAIT_OBJECT_0)
            HandleMessages();
        if (Chosen.where == Place::Inside) FollowParent();
        delay = FramePace.next - Now();
    }
}

}  // namespace

bool OpenWindow(const char* title, int width, int height) {
    if (Chosen.where == Place::Inside && !IsWindow(ParentWindow())) {
        std::snprintf(Failure, sizeof Failure, "there is no window %p", ParentWindow());
        return false;
    }
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!RegisterWindowClass(instance, title)) return false;
    Measure(width, height);
    const HWND window = CreateWindowAtPlace(title);
    if (!window) {
        Fail("CreateWindowExA");
        UnregisterClassA(title, instance);
        return false;
    }
    TheWindow = window;
    if (Chosen.where == Place::Window) TakeOwnScale(window);
    ShowWindow(window, SW_SHOWNORMAL);
    DeviceContext = GetDC(window);
    GetCursorPos(&CursorAtStart);
    Header = GreyHeader(width, height);
    if (Chosen.where == Place::Window) AddZoomEntries(window);
    Paced = Chosen.where == Place::Screen || Chosen.where == Place::Inside;
    if (Paced) {
        timeBeginPeriod(1);  // waits to the millisecond, not the tick
        FramePace = StartPace(GetDeviceCaps(DeviceContext, VREFRESH), Now());
    }

    if (HoldsScreenSaverOff()) HoldScreenSaverOff();
    return true;
}

const char* OpenFailure() { return Failure; }

bool CanDrawInside() { return true; }

int SetPalette(const ColourEntry* colours, int lastIndex) {
    if (lastIndex > 255) lastIndex = 255;
    for (int i = 0; i <= lastIndex; ++i)
        Header->bmiColors[i] = {colours[i].blue, colours[i].green, colours[i].red, 0};
    return 1;
}

int ShowFrame(const uint8_t* pixels) {
    if (Chosen.where == Place::Inside) FollowParent();
    PaintPixels = pixels;
    if (Paced) {
        // A screen saver paints its frame straight away, and only where it
        // changes; a paint that the system asks for covers the bars too.
        if (Seen()) Paint(Window(), false);
    } else {
        InvalidateRect(Window(), nullptr, TRUE);
        SendMessageA(Window(), WM_PAINT, 0, 0);
    }
    HandleMessages();
    if (Paced)
        WaitForNextFrame();
    else
        Sleep(0);
    return 1;
}

void SetTitle(const char* text) {
    SendMessageA(Window(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    if (Chosen.echoTitle) {
        std::printf("%s\n", text);
        std::fflush(stdout);
    }
}

void CloseWindow() {
    const HWND window = Window();
    PaintPixels = nullptr;
    TheWindow = nullptr;
    ReleaseDC(window, DeviceContext);
    DeviceContext = nullptr;
    DestroyWindow(window);
    if (HoldsScreenSaverOff()) ReleaseScreenSaver();
}

}  // namespace gdi8
