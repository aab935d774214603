// The window through SDL2: a streaming texture, filled through a 256-entry
// table of 32-bit colours and stretched over the window by the renderer; in
// another program's X window, a picture that the X server stretches (x11/,
// where the build has X11; without it, sdl/without_x11.cpp says there is no
// such window). As a screen saver, one frame a refresh of the display.
#include <SDL.h>
#include <SDL_syswm.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "gdi8.h"
#include "placement.h"
#include "monitors.h"
#include "present.h"
#include "x11/x11_monitors.h"
#include "x11/x11_picture.h"
#include "x11/x11_window.h"

namespace gdi8 {

namespace {

SDL_Window* Window = nullptr;
SDL_Renderer* Renderer = nullptr;
SDL_Texture* Texture = nullptr;
int BitmapWidth = 0;
int BitmapHeight = 0;
// The pixels to paint; null means there is nothing to paint.
const uint8_t* PaintPixels = nullptr;
// The colour table as ARGB8888 texture pixels.
uint32_t Colours[256];
char Failure[256] = "";
// Painted by the X server (another program's window), not by Renderer.
bool XPicture = false;
// A screen saver's frames come at the display's pace.
bool Paced = false;
Pace FramePace;

bool Fail(const char* what) {
    SDL_snprintf(Failure, sizeof Failure, "%s: %s", what, SDL_GetError());
    return false;
}

// Starts SDL's video on a driver that shows windows on a screen. Unless the
// user chose one (SDL_VIDEODRIVER), SDL's offscreen and dummy drivers are
// left out: with them the program would run on unseen. So is Wayland when
// there is no runtime directory to find its socket in, where its library
// would complain on stderr. Another program's window is an X window.
bool StartVideo() {
    if (SDL_getenv("SDL_VIDEODRIVER")) return SDL_Init(SDL_INIT_VIDEO) == 0;
    if (Chosen.where == Place::Inside) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
        return SDL_Init(SDL_INIT_VIDEO) == 0;
    }
    const char* wayland = SDL_getenv("WAYLAND_DISPLAY");
    const bool waylandReachable = SDL_getenv("XDG_RUNTIME_DIR") || (wayland && wayland[0] == '/');
    std::string drivers;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
        const std::string name = SDL_GetVideoDriver(i);
        if (name == "offscreen" || name == "dummy" || name == "evdev") continue;
        if (name == "wayland" && !waylandReachable) continue;
        drivers += (drivers.empty() ? "" : ",") + name;
    }
    if (drivers.empty()) {
        SDL_SetError("no video driver for a screen");
        return false;
    }
    SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
    return SDL_Init(SDL_INIT_VIDEO) == 0;
}

bool FullScreen() {
    return SDL_GetWindowFlags(Window) & SDL_WINDOW_FULLSCREEN;
}

// Converts the frame into the texture and stretches it over the client area,
// or, full screen and in another program's window, over the largest part of
// it that keeps the frame's aspect, between black bars.
void Paint(bool whole) {
    if (!PaintPixels) return;
    int outWidth = 0, outHeight = 0;
    if (XPicture) {
        SDL_GetWindowSize(Window, &outWidth, &outHeight);
        if (outWidth > 0 && outHeight > 0)
            PaintXPicture(PaintPixels, Colours, outWidth, outHeight, whole);
        return;
    }
    // A minimised window has no area to paint into.
    if (SDL_GetRendererOutputSize(Renderer, &outWidth, &outHeight) != 0 ||
        outWidth <= 0 || outHeight <= 0)
        return;
    void* texels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(Texture, nullptr, &texels, &pitch) != 0) return;
    const size_t width = static_cast<size_t>(BitmapWidth);
    for (int y = 0; y < BitmapHeight; ++y) {
        ExpandFrame(PaintPixels + static_cast<size_t>(y) * width, width, Colours,
                           reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(texels) +
                                                       static_cast<size_t>(y) * pitch));
    }
    SDL_UnlockTexture(Texture);
    if (Chosen.where == Place::Window && !FullScreen()) {
        SDL_RenderCopy(Renderer, Texture, nullptr, nullptr);
    } else {
        const Box box = FitFrame(outWidth, outHeight, BitmapWidth, BitmapHeight);
        const SDL_Rect to = {box.x, box.y, box.width, box.height};
        SDL_SetRenderDrawColor(Renderer, 0, 0, 0, 255);
        SDL_RenderClear(Renderer);
        SDL_RenderCopy(Renderer, Texture, nullptr, &to);
    }
    SDL_RenderPresent(Renderer);
}

// The monitors, the primary first: X's, or else SDL's displays.
std::vector<Box> Monitors() {
    std::vector<Box> monitors = XMonitors(Window);
    if (!monitors.empty()) return monitors;
    for (int k = 0; k < SDL_GetNumVideoDisplays(); ++k) {
        SDL_Rect r;
        if (SDL_GetDisplayBounds(k, &r) == 0) monitors.push_back(Box{r.x, r.y, r.w, r.h});
    }
    return monitors;
}

// Sets the client area to n times the frame and centres the window on the
// monitor that holds most of it.
void Zoom(int n) {
    const std::vector<Box> monitors = Monitors();
    Box now{};
    SDL_GetWindowPosition(Window, &now.x, &now.y);
    SDL_GetWindowSize(Window, &now.width, &now.height);
    const Box to = CentredOnMonitor(monitors, monitors.empty() ? now : monitors[0], now, BitmapWidth * n,
                                    BitmapHeight * n);
    SDL_SetWindowSize(Window, to.width, to.height);
    SDL_SetWindowPosition(Window, to.x, to.y);
}

[[noreturn]] void Close() {
    CloseWindow();
    std::exit(0);
}

// Full screen at the desktop's resolution, or back to the window as it was.
void ToggleFullScreen() {
    SDL_SetWindowFullscreen(Window, FullScreen() ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
}

void HandleKey(SDL_Keycode key, bool alt, bool repeat) {
    if (Chosen.where == Place::Inside) return;  // another program's window: its keys
    if (key == SDLK_F11 || (alt && (key == SDLK_RETURN || key == SDLK_KP_ENTER))) {
        if (!repeat) ToggleFullScreen();
        return;
    }
    // Keys pressed with Alt belong to the system, as on Windows.
    if (alt) return;
    switch (key) {
        case SDLK_ESCAPE:
            Close();
        case SDLK_1:
        case SDLK_2:
        case SDLK_4:
            if (!FullScreen()) Zoom(static_cast<int>(key - SDLK_0));
            break;
        default:
            break;
    }
}

void HandleEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_QUIT:
            Close();
        case SDL_KEYDOWN:
            HandleKey(event.key.keysym.sym, event.key.keysym.mod & KMOD_ALT, event.key.repeat);
            break;
        case SDL_WINDOWEVENT:
            switch (event.window.event) {
                case SDL_WINDOWEVENT_CLOSE:
                    Close();
                case SDL_WINDOWEVENT_EXPOSED:
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                    Paint(true);
                    break;
                default:
                    break;
            }
            break;
        case SDL_SYSWMEVENT:
            NoteXEvent(&event.syswm.msg->msg.x11.event);
            NoteMonitorEvent(&event.syswm.msg->msg.x11.event);
            break;
        default:
            break;
    }
}

// The hints SDL reads as it starts and as it makes the window and renderer.
void SetHints(bool inside, bool saver) {
    // Ctrl+C and kill end the process as signals do, not as a close; inside
    // another program's window SDL makes them a close, which ends it with 0.
    if (!inside) SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // Else SDL holds the screen saver off from its start on.
    if (saver) SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
    // Nearest-neighbour stretching: only palette colours reach the screen.
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
}

// The window: another program's X window `parent`, or a window of its own,
// centred, hidden until it is ready and full screen unless Where is Window.
// On failure SDL ends with it.
bool MakeWindow(const char* title, int width, int height, unsigned long parent) {
    const bool inside = Chosen.where == Place::Inside;
    const Uint32 fullScreen = Chosen.where == Place::Window ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP;
    Window = inside ? SDL_CreateWindowFrom(reinterpret_cast<void*>(parent))
                    : SDL_CreateWindow(title, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                       width, height,
                                       SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN | fullScreen);
    if (Window) return true;
    Fail(inside ? "SDL_CreateWindowFrom" : "SDL_CreateWindow");
    SDL_Quit();
    return false;
}

// The renderer, accelerated where it can be, and the streaming texture the
// frame goes through. On failure the window and SDL end with them.
bool MakeRenderer(int width, int height) {
    const bool inside = Chosen.where == Place::Inside;
    // Another program's window gets the software renderer on X's own
    // drawing, which works with any visual and, unlike GL, does not make SDL
    // remake the window, overwriting its title.
    if (inside) SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (!inside) Renderer = SDL_CreateRenderer(Window, -1, SDL_RENDERER_ACCELERATED);
    if (!Renderer) Renderer = SDL_CreateRenderer(Window, -1, SDL_RENDERER_SOFTWARE);
    if (Renderer)
        Texture = SDL_CreateTexture(Renderer, SDL_PIXELFORMAT_ARGB8888,
                                    SDL_TEXTUREACCESS_STREAMING, width, height);
    if (Texture) return true;
    Fail(Renderer ? "SDL_CreateTexture" : "SDL_CreateRenderer");
    if (Renderer) SDL_DestroyRenderer(Renderer);
    SDL_DestroyWindow(Window);
    Renderer = nullptr;
    Window = nullptr;
    SDL_Quit();
    return false;
}

// Seconds on a steady clock.
double Now() {
    return static_cast<double>(SDL_GetPerformanceCounter()) /
           static_cast<double>(SDL_GetPerformanceFrequency());
}

// The refresh rate of the window's display; 0 where it is unknown.
int RefreshRate() {
    SDL_DisplayMode mode;
    const int display = SDL_GetWindowDisplayIndex(Window);
    return display >= 0 && SDL_GetCurrentDisplayMode(display, &mode) == 0 ? mode.refresh_rate : 0;
}

// Waits for the next frame's turn, handling events meanwhile; for as long as
// the window cannot be seen, no frame is drawn at all.
void WaitForNextFrame() {
    double delay = PaceDelay(FramePace, Now());
    for (;;) {
        const bool seen = Chosen.where != Place::Inside || XWindowSeen();
        if (seen && delay <= 0) return;
        const int ms = seen ? static_cast<int>(std::ceil(delay * 1000)) : 100;
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, ms)) HandleEvent(event);
        delay = FramePace.next - Now();
    }
}

// The program's icon on the window, where the window manager shows one.
void SetIcon() {
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint32_t*>(MainIcon), 32, 32, 32, 32 * 4, SDL_PIXELFORMAT_ARGB8888);
    if (icon) {
        SDL_SetWindowIcon(Window, icon);
        SDL_FreeSurface(icon);
    }
}

}  // namespace

bool OpenWindow(const char* title, int width, int height) {
    const bool inside = Chosen.where == Place::Inside;
    const bool saver = inside || Chosen.where == Place::Screen;
    SetHints(inside, saver);
    const unsigned long parent = inside ? FindXWindow(Chosen.parent, Failure, sizeof Failure) : 0;
    if (inside && !parent) return false;
    if (!StartVideo()) return Fail("SDL_Init");
    if (!MakeWindow(title, width, height, parent)) return false;
    if (inside) {
        FollowXWindow(Window, parent);
        SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
        XPicture = StartXPicture(Window, parent, width, height);
    }
    if (!XPicture && !MakeRenderer(width, height)) return false;
    BitmapWidth = width;
    BitmapHeight = height;
    for (int i = 0; i < 256; ++i) {
        const uint8_t grey = static_cast<uint8_t>(i);
        Colours[i] = Argb(grey, grey, grey);
    }
    Paced = saver;
    if (Paced) FramePace = StartPace(RefreshRate(), Now());
    if (inside) return true;
    SetIcon();
    SDL_ShowWindow(Window);
    if (!saver) SDL_DisableScreenSaver();
    return true;
}

const char* OpenFailure() { return Failure; }

int SetPalette(const ColourEntry* colours, int lastIndex) {
    for (int i = 0; i <= lastIndex && i < 256; ++i)
        Colours[i] = Argb(colours[i].red, colours[i].green, colours[i].blue);
    return 1;
}

int ShowFrame(const uint8_t* pixels) {
    PaintPixels = pixels;
    Paint(false);
    SDL_Event event;
    while (SDL_PollEvent(&event)) HandleEvent(event);
    if (Paced)
        WaitForNextFrame();
    else
        std::this_thread::yield();
    return 1;
}

void SetTitle(const char* text) {
    if (Chosen.where != Place::Inside) SDL_SetWindowTitle(Window, text);
    if (Chosen.echoTitle) {
        std::printf("%s\n", text);
        std::fflush(stdout);
    }
}

void CloseWindow() {
    PaintPixels = nullptr;
    SDL_DestroyTexture(Texture);
    SDL_DestroyRenderer(Renderer);
    Texture = nullptr;
    Renderer = nullptr;
    SDL_DestroyWindow(Window);
    Window = nullptr;
    if (Chosen.where == Place::Window || Chosen.where == Place::FullScreen) SDL_EnableScreenSaver();
    SDL_Quit();
}

}  // namespace gdi8
