// Another program's X window painted by the X server: the frame goes up once
// a frame at its own size, and XRender stretches it over the window (nearest
// neighbour, so only palette colours reach the screen) between black bars.
// Cheaper than stretching on the processor and handing the X server every
// pixel of the window; and, unlike SDL's GL renderer, it leaves the window
// itself, its title included, as it is.
#pragma once

#include <cstdint>

struct SDL_Window;

namespace gdi8 {

// Prepares to paint the X window `id` behind `window` (made by
// SDL_CreateWindowFrom) with frames of width x height. False where the X
// server has no XRender, or the window cannot take a picture: SDL's renderer
// paints then.
bool StartXPicture(SDL_Window* window, unsigned long id, int width, int height);

// Paints `pixels` through `colours` (ARGB) at 4:3 in an area of
// areaWidth x areaHeight, and, when `bars` or the layout changed, the bars
// around them. In the root window, which spans every monitor, each monitor
// shows the frame between bars of its own. Returns once the X server has
// drawn it.
void PaintXPicture(const uint8_t* pixels, const uint32_t colours[256], int areaWidth,
                   int areaHeight, bool bars);

// Notes what an X event says of the monitors (XRandR's word that they
// changed): the next frame lays them out anew. Takes the XEvent of an
// SDL_SYSWMEVENT.
void NoteMonitorEvent(const void* xevent);

}  // namespace gdi8
