// A window's scale. Marked aware of each monitor's scale (the programs'
// manifest), a window on Windows 10 (1607) and later takes its monitor's,
// caption and borders included; older Windows scale with the system alone.
// Sizes here are device pixels.
#pragma once

#include <windows.h>

namespace gdi8 {

// The window's dots per inch: its monitor's, or the system's where Windows
// has no scale per window (and for a null window).
UINT WindowDpi(HWND window);

// The outer size of a window of `style` (no menu bar) whose client area is
// width x height, at `dpi`.
SIZE OuterSize(DWORD style, int width, int height, UINT dpi);

}  // namespace gdi8
