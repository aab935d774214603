// The window through Windows USER and GDI: an 8-bit top-down DIB stretched
// over the client area by StretchDIBits, painted synchronously each frame.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "gdi8.h"

namespace gdi8 {

void* WindowHandle = nullptr;

namespace {

HWND Window() { return static_cast<HWND>(WindowHandle); }

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

void Zoom(HWND window, int n) {
    const int width = OuterWidth * n;
    const int height = OuterHeight * n;
    const POINT at = Centred(width, height);
    SetWindowPos(window, nullptr, at.x, at.y, width, height, SWP_NOZORDER);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            if (PaintPixels) {
                RECT client;
                GetClientRect(window, &client);
                StretchDIBits(DeviceContext, 0, 0, client.right - client.left,
                              client.bottom - client.top, 0, 0, BitmapWidth, BitmapHeight,
                              PaintPixels, Header, DIB_RGB_COLORS, SRCCOPY);
                ValidateRect(Window(), nullptr);
            }
            return 0;
        case WM_ERASEBKGND:
            return 0;
        case WM_CLOSE:
            CloseWindow();
            ExitProcess(0);
        case WM_KEYDOWN:
            if ((wParam & 0xFF) == VK_ESCAPE) SendMessageA(window, WM_CLOSE, 0, 0);
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & ~static_cast<WPARAM>(0xF)) == ZoomCommandIds[0]) {
                // A zoom command whose factor bits are 0 would shrink the
                // window to nothing; it is ignored.
                if (wParam & 7) Zoom(window, static_cast<int>(wParam & 7));
                return 0;
            }
            break;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool OpenWindow(const char* title, int width, int height) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WindowClass = {};
    WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;
    WindowClass.lpfnWndProc = WindowProc;
    WindowClass.hInstance = instance;
    WindowClass.hIcon = LoadIconA(instance, "IDI_MAIN");
    WindowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    WindowClass.lpszClassName = title;
    if (!RegisterClassA(&WindowClass)) return Fail("RegisterClassA");

    RECT outer = {0, 0, width, height};
    AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
    OuterWidth = outer.right - outer.left;
    OuterHeight = outer.bottom - outer.top;
    BitmapWidth = width;
    BitmapHeight = height;
    const POINT at = Centred(OuterWidth, OuterHeight);
    WindowX = at.x;
    WindowY = at.y;

    const HWND window = CreateWindowExA(0, title, title, WS_OVERLAPPEDWINDOW, WindowX, WindowY,
                                        OuterWidth, OuterHeight, nullptr, nullptr, nullptr,
                                        nullptr);
    if (!window) {
        Fail("CreateWindowExA");
        UnregisterClassA(title, instance);
        return false;
    }
    WindowHandle = window;
    ShowWindow(window, SW_SHOWNORMAL);
    DeviceContext = GetDC(window);

    Header = static_cast<BITMAPINFO*>(std::calloc(1, HeaderBytes));
    Header->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    Header->bmiHeader.biWidth = width;
    Header->bmiHeader.biHeight = -height;  // rows from the top down
    Header->bmiHeader.biPlanes = 1;
    Header->bmiHeader.biBitCount = 8;
    Header->bmiHeader.biCompression = BI_RGB;
    Header->bmiHeader.biClrUsed = 256;
    for (int i = 0; i < 256; ++i) {
        const BYTE grey = static_cast<BYTE>(i);
        Header->bmiColors[i] = {grey, grey, grey, 0};
    }

    const HMENU menu = GetSystemMenu(window, FALSE);
    AppendMenuA(menu, MF_STRING, ZoomCommandIds[1], "Zoom 1 x 1");
    AppendMenuA(menu, MF_STRING, ZoomCommandIds[2], "Zoom 2 x 2");
    AppendMenuA(menu, MF_STRING, ZoomCommandIds[3], "Zoom 4 x 4");

    // Not written to the user profile: the next session has its own setting.
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, FALSE, nullptr, 0);
    return true;
}

const char* OpenFailure() { return Failure; }

int SetPalette(const void* colours, int lastIndex) {
    if (lastIndex > 255) lastIndex = 255;
    if (lastIndex >= 0) std::memcpy(Header->bmiColors, colours, (lastIndex + 1) * 4u);
    return 1;
}

int ShowFrame(const uint8_t* pixels) {
    PaintPixels = pixels;
    InvalidateRect(Window(), nullptr, TRUE);
    SendMessageA(Window(), WM_PAINT, 0, 0);
    MSG message;
    while (PeekMessageA(&message, Window(), 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    Sleep(0);
    return 1;
}

void SetTitle(const char* text) {
    SendMessageA(Window(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void CloseWindow() {
    PaintPixels = nullptr;
    ReleaseDC(Window(), DeviceContext);
    DeviceContext = nullptr;
    DestroyWindow(Window());
    WindowHandle = nullptr;
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, 0);
}

}  // namespace gdi8
