// The life of the program: the animation shown in the window.
#pragma once

namespace ukvo2 {

// Builds the path and the palette, opens the window "Kvo" and draws and
// shows frames for ever, retitling the window with the frame rate every two
// seconds. The process ends with status 0 inside gdi8::ShowFrame when the
// window is closed. Returns only when the window cannot be opened: then it
// writes one line naming the cause to stderr and returns 1, the exit status.
int Run();

}  // namespace ukvo2
