// gdi8: one top-level window showing a frame of 8-bit palette indices,
// stretched over its whole client area through a 256-entry colour table.
// One thread: every call, and every window message, runs on the caller's
// thread. Closing the window (close box, Escape) ends the process with exit
// code 0 from inside ShowFrame; there is no other way out and no reopening.
#pragma once

#include <cstdint>

namespace gdi8 {

// System-command identifiers: the zoom base 0x400, then the menu entries
// "Zoom 1 x 1", "Zoom 2 x 2", "Zoom 4 x 4"; the low three bits are the factor.
// Where there is no system menu, keys 1, 2 and 4 give the same zooms.
constexpr uint32_t ZoomCommandIds[4] = {0x400, 0x401, 0x402, 0x404};

// Where OpenWindow shows the frame:
//   Window      a window of its own, the frame stretched over it (the default).
//               Where there is no system menu, F11 and Alt+Enter switch it
//               to full screen and back.
//   FullScreen  that window, opened full screen.
//   Screen      a screen saver: a topmost borderless window over the whole
//               screen, no cursor; a key, a mouse button or a mouse movement
//               of more than a few pixels closes it. (Windows; elsewhere as
//               FullScreen.)
//   Inside      another program's window, `Parent` (an HWND, or an X window
//               id where 0 means the root window), filled and followed in
//               size; no keys, no title. The process ends with status 0 when
//               that window goes away, and on X on SIGTERM and SIGINT.
// Wherever the frame fills a screen or another program's window, it keeps
// its aspect, centred between black bars. Screen and Inside leave the screen
// saver setting alone.
// Screen and Inside are screen savers: their frames come one a refresh of the
// display (60 a second where it is unknown), and none while the window cannot
// be seen, where the system says so; the window draws as fast as it can.
enum class Place { Window, FullScreen, Screen, Inside };

// What the program chooses before OpenWindow (by default a window of its own):
// where the frame goes; for Inside, the other program's window (an HWND, or an
// X window id where 0 means the root window); and whether SetTitle also writes
// the title as a line on standard output (a screen saver's way of telling its
// frame rate, having no title bar).
struct Placement {
    Place where = Place::Window;
    uintptr_t parent = 0;
    bool echoTitle = false;
};
void ChoosePlacement(const Placement& placement);

// Whether this build can draw Inside another program's window: false on
// Linux built without X11 (SDL alone, for Wayland), true elsewhere.
bool CanDrawInside();

// Opens the visible window titled and classed `title`, client area
// width x height, centred (or as the placement says); switches the screen
// saver off. Does not block. False when no window could be made (or the
// placement's parent does not exist); the grey ramp is the palette until
// SetPalette.
bool OpenWindow(const char* title, int width, int height);

// Why the last OpenWindow failed, as one line of text (never null).
const char* OpenFailure();

// One entry of the colour table, as a device-independent bitmap's: blue,
// green, red, then a byte of 0.
struct ColourEntry {
    uint8_t blue, green, red, reserved;
};
static_assert(sizeof(ColourEntry) == 4, "colour entries are 4 bytes");

// Copies entries 0 .. lastIndex (at most 255; negative copies none) of
// `colours` into the colour table; the caller keeps ownership. Returns 1.
int SetPalette(const ColourEntry* colours, int lastIndex);

// Paints `pixels` (width x height bytes, rows from the top, borrowed: they
// must stay valid until the next ShowFrame), handles every waiting message
// and yields the processor. Returns 1, or never returns if the window closed.
int ShowFrame(const uint8_t* pixels);

// Sets the window title at once (synchronously). The text is copied.
void SetTitle(const char* text);

// Forgets the pixels, releases the drawing context, destroys the window and
// switches the screen saver back on. Called only when the window is closed.
void CloseWindow();

// The window icon on platforms without icon resources (the counterpart of
// the resource IDI_MAIN): 32 x 32 colours 0xAARRGGBB, rows from the top.
// Defined by the program.
extern const uint32_t* const MainIcon;

}  // namespace gdi8
