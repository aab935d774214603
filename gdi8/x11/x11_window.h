// The X side of drawing into another program's window with SDL: finding the
// window, and following its size and its end.
#pragma once

#include <cstddef>

struct SDL_Window;

namespace gdi8 {

// The window `id` of the display in DISPLAY, or its root window for 0; 0 with
// one line in `why` when there is no display or no such window.
unsigned long FindXWindow(unsigned long id, char* why, size_t size);

// Makes SDL hear of the size changes and exposures of `window`, made by
// SDL_CreateWindowFrom on the X window `id`, and of whether it can be seen;
// ends the process with status 0 once `id` is gone.
void FollowXWindow(SDL_Window* window, unsigned long id);

// Ends the process with status 0, as for the followed window, on an error
// about `resource` (something that goes with the window).
void EndWithXWindow(unsigned long resource);

// Notes what an X event says of the followed window: mapped or not, covered
// or not. Takes the XEvent of an SDL_SYSWMEVENT.
void NoteXEvent(const void* xevent);

// False while the followed window is unmapped or wholly covered.
bool XWindowSeen();

}  // namespace gdi8
