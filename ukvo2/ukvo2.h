// ukvo2: the animation. A Julia set whose parameter travels along the
// boundary of the Mandelbrot set, drawn into an 8-bit indexed frame and
// smeared outwards by an in-place zoom blur.
//
// Every routine here is exact to the bit: the frame drawn for a given clock
// reading is the same on every machine. The module owns the frame buffer;
// the window layer only reads it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "extended/extended.h"

namespace ukvo2 {

// ---- The frame -------------------------------------------------------------

constexpr int32_t Width = 640;
constexpr int32_t Height = 480;
constexpr int32_t FrameBytes = Width * Height;

// The frame buffer: Width x Height palette indices, rows from the top down,
// no gaps between rows. Owned by this module for the life of the process,
// zero-filled at start-up; written by RenderFrame, read by the window.
extern uint8_t Pixels[FrameBytes];

// ---- The palette -----------------------------------------------------------

// One colour entry, laid out as a device-independent bitmap's colour table.
struct PaletteEntry {
    uint8_t blue, green, red, reserved;
};
static_assert(sizeof(PaletteEntry) == 4, "colour entries are 4 bytes");

// 256 entries, dark red at 0 through orange and yellow to white at 255.
// Filled by BuildPalette.
extern PaletteEntry Palette[256];

// Base raised to Exponent, in extended precision; 0 for a zero base.
// Defined for Base >= 0.
Extended Power(Extended base, Extended exponent);

// Fills Palette. Needs no other state.
void BuildPalette();

// ---- The path of the Julia parameter ----------------------------------------

struct Complex {
    double re, im;
};

// 151 fixed points along the lower half of the Mandelbrot set's boundary.
extern const Complex PathTable[151];

// 302 points: PathTable forward, then its conjugates backward. Filled by
// BuildPath.
extern Complex Path[302];
void BuildPath();

// ---- Renderers ---------------------------------------------------------------
// Each renderer comes in two forms: one that takes its frame as arguments
// (pixels must hold width x height bytes, rows without gaps; the caller owns
// them) and one that works on the module's own Pixels at Width x Height.

// Draws the filled Julia set of z -> z^2 + c as escape-time indices: 0, 4, 8,
// ... for points that escape, 255 for points still bounded after maxIter
// steps. Computes the top half and writes each value a second time at the
// pixel turned by 180 degrees about the frame's centre. A height below 2 or a
// width below 1 writes nothing; an odd height leaves the middle row as it was.
// Any arguments are safe; c beyond +-40 (or not finite) or a frame longer
// than 31 times its width gives a defined but meaningless picture.
void RenderJulia(uint8_t* pixels, int32_t width, int32_t height,
                 int32_t maxIter, double cRe, double cIm);
void RenderJulia(int32_t maxIter, double cRe, double cIm);

// Smears the frame in place outwards from the centre (cx, cy): every pixel of
// rows 0 .. height-2 and columns 1 .. width-1 becomes 31/32 of a bilinear
// sample taken `factor` of the way towards the centre plus 1/32 of its own
// value. Column 0 and the last row keep their values.
// Outside the design the call stays in bounds: the centre is clamped into the
// frame, the 16.16 step into 1 .. 65535; a NaN factor, or a frame of more than
// 65536 pixels in either direction, leaves the frame untouched.
void ZoomBlur(uint8_t* pixels, int32_t width, int32_t height,
              int32_t cx, int32_t cy, double factor);
void ZoomBlur(int32_t cx, int32_t cy, double factor);

// Frees the buffer that ZoomBlur keeps between calls for the calling thread
// (each thread has its own). A thread that has drawn frames calls it before
// it ends; a later ZoomBlur on the thread makes a new one.
void FreeBlurScratch();

// The 16.16 step for a blur factor: (1 - factor) x 65536 in extended
// precision, truncated toward zero, clamped into 1 .. 65535. False, and d
// untouched, for a NaN factor.
bool ZoomStep(double factor, uint32_t& d);

// ---- The frame as a function of the clock ---------------------------------------

// The millisecond clock: milliseconds since some start, modulo 2^32.
// ReadClock reads the clock in force; SetClock replaces it (tests and tools
// drive the animation with chosen readings), and an empty function restores
// the system clock.
uint32_t ReadClock();
void SetClock(std::function<uint32_t()> clock);

// The platform's own clock (the multimedia timer on Windows).
uint32_t SystemClock();

// A finer clock for timing the kernels against one another: seconds from
// some fixed moment, never going back. On the web it has whole
// milliseconds: there a module holds one set beyond the plain one, and
// nothing is timed.
double StopwatchSeconds();

// The Julia parameter at clock reading t (milliseconds). Needs BuildPath.
Complex JuliaParameter(uint32_t t);

struct Centre {
    int32_t cx, cy;
};
// The zoom-blur centre for a frame of width x height: its column from clock
// reading t2, its row from t3.
Centre BlurCentre(uint32_t t2, uint32_t t3, int32_t width, int32_t height);

// The blur factor of every frame.
constexpr double BlurFactor = 0.018;
// The iteration limit of every frame.
constexpr int32_t FrameIterations = 64;

// Draws one frame into Pixels: reads the clock, renders the Julia set, reads
// the clock twice more for the blur centre, and blurs. Needs BuildPath.
void RenderFrame();

// Draws into Pixels the frame that RenderFrame draws when all three clock
// readings are t, without touching the clock. Needs BuildPath.
void RenderFrameAt(uint32_t t);

// The same frame into `pixels` (FrameBytes bytes, the caller's): touches no
// state of the module, so threads may draw frames side by side.
void RenderFrameAt(uint32_t t, uint8_t* pixels);

// Sine and cosine in extended precision, computed with plain arithmetic so
// that every machine gets the same bits (library sinl differs between C
// libraries). Accurate to about one unit in the last place for |x| < 2^31;
// NaN beyond, and for NaN and infinities.
Extended SinX(Extended x);
Extended CosX(Extended x);

// ---- The frame-rate title ---------------------------------------------------------

// The value as text: the integer digits, a point and the first two decimals,
// truncated ("58.31" for 58.317). Negative values and NaN give "0.00", and
// values of 2^64 or more "18446744073709551615.00".
std::string FloatToText(Extended value);

// Frame counting for the title: Start at start-up, then Count once per frame.
// Count returns true and sets `title` ("Kvo 58.31 fps") when more than two
// seconds have passed since the last title; the caller then shows it and
// calls Start again with a fresh clock reading. Elapsed time is measured
// across the wrap of the 32-bit clock.
struct FrameRate {
    uint32_t lastMs;
    double lastSeconds;
    int32_t frames;
};
void StartFrameRate(FrameRate& rate, uint32_t nowMs);
bool CountFrame(FrameRate& rate, uint32_t nowMs, std::string& title);

}  // namespace ukvo2
