// ukvo2: the animation. A Julia set whose parameter travels along the
// boundary of the Mandelbrot set, drawn into an 8-bit indexed frame and
// smeared outwards by an in-place zoom blur.
//
// Every routine here is exact to the bit: the frame drawn for a given clock
// reading is the same on every machine. The module owns the frame buffer;
// the window layer only reads it.
//
// The module's front header: it gathers the rooms' own headers, for callers
// that use most of them. A file that needs one room includes that room's.
#pragma once

#include "clock/clock.h"
#include "frame.h"
#include "palette.h"
#include "path.h"
#include "renderers.h"
#include "title.h"
