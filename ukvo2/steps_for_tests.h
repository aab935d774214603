// Entry points that only tests call: the steps of a frame that are done in
// extended precision, as their rooms define them.
//
// Each step is written once, as a template over a type R with the x87's
// format, and defined in the file of its room (palette.cpp, frame.cpp,
// zoomblur.cpp, title.cpp), which the program calls on Extended. Those files
// also instantiate each step for SoftExtended and, where it is the x87's
// format, long double (KVO_FOR_EACH_EXTENDED), so that the tests can prove
// that the two give the same bits. The program's own files do not include
// this header.
#pragma once

#include <cstdint>
#include <string>

#include "extended/extended.h"
#include "frame.h"
#include "palette.h"
#include "path.h"

namespace ukvo2 {

// Sine and cosine in extended precision, computed with plain arithmetic so
// that every machine gets the same bits (library sinl differs between C
// libraries). Accurate to about one unit in the last place for |x| < 2^31;
// NaN beyond, and for NaN and infinities.
Extended SinX(Extended x);
Extended CosX(Extended x);

// Base raised to Exponent, in extended precision; 0 for a zero base.
// Defined for Base >= 0.
Extended Power(Extended base, Extended exponent);

// The value as text: the integer digits, a point and the first two decimals,
// truncated ("58.31" for 58.317). Negative values and NaN give "0.00", and
// values of 2^64 or more "18446744073709551615.00".
std::string FloatToText(Extended value);

namespace steps {

// palette.cpp: base^exponent for base >= 0, and the palette's entry i.
template <typename R>
R Power(R base, R exponent);
template <typename R>
PaletteEntry PaletteAt(int i);

// frame.cpp: the Julia parameter at clock reading t on `path`, and the blur
// centre.
template <typename R>
Complex JuliaParameter(uint32_t t, const Complex* path);
template <typename R>
Centre BlurCentre(uint32_t t2, uint32_t t3, int32_t width, int32_t height);

// zoomblur.cpp: the blur's 16.16 step.
template <typename R>
bool ZoomStep(double factor, uint32_t& d);

// title.cpp: the rate as text, milliseconds as seconds across the clock's
// wrap, the seconds since a reading, and the rate.
template <typename R>
std::string FloatToText(R value);
template <typename R>
R Seconds(uint32_t ms, uint32_t since);
template <typename R>
double Elapsed(uint32_t nowMs, uint32_t lastMs, double lastSeconds);
template <typename R>
R FrameRateValue(int32_t frames, double elapsed);

}  // namespace steps

}  // namespace ukvo2

