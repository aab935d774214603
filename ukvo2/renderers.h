// The two renderers. Each comes in two forms: one that takes its frame as
// arguments (pixels must hold width x height bytes, rows without gaps; the
// caller owns them) and one that works on the module's own Pixels at
// Width x Height.
#pragma once

#include <cstdint>

namespace ukvo2 {

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

}  // namespace ukvo2
