// What every presenter needs, whatever the platform: 32-bit colours from the
// frame's palette indices, the place of the frame in a larger area, and the
// pace of a screen saver's frames.
#pragma once

#include <cstddef>
#include <cstdint>

namespace gdi8 {

// A colour as a 32-bit 0xAARRGGBB pixel (SDL's ARGB8888; the bytes blue,
// green, red, alpha of a Windows colour entry).
constexpr uint32_t Argb(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha = 0xFF) {
    return static_cast<uint32_t>(alpha) << 24 | static_cast<uint32_t>(red) << 16 |
           static_cast<uint32_t>(green) << 8 | blue;
}

// Writes table[pixels[k]] to out[k] for k < count: each palette index becomes
// the 32-bit pixel that the table gives for it. out must not overlap pixels.
void ExpandFrame(const uint8_t* pixels, size_t count, const uint32_t table[256],
                 uint32_t* out);

// Writes the width x height frame `pixels` stretched to outWidth x outHeight
// 32-bit pixels (rows `outStride` pixels apart) through `table`: each pixel
// takes the frame's pixel nearest its centre, so only the table's colours
// appear. A row that repeats the one above is copied. Sizes from 1.
void StretchFrame(const uint8_t* pixels, int width, int height, const uint32_t table[256],
                  uint32_t* out, int outWidth, int outHeight, size_t outStride);

// A box in an area, from its top left corner.
struct Box {
    int x, y, width, height;
};

// The largest box of the frame's aspect (frameWidth : frameHeight) that fits
// in an area of areaWidth x areaHeight, centred; the rest of the area is for
// black bars. Sizes are cut toward zero, so the box never leaves the area;
// an area too thin for a whole pixel of the other side gets an empty box.
// Areas up to 65535 on a side.
Box FitFrame(int areaWidth, int areaHeight, int frameWidth, int frameHeight);

// A steady pace of frames, one a refresh of the display: a frame that comes
// late is shown at once and the pace starts again from it; frames are
// dropped, never caught up on. Times in seconds on any steady clock.
struct Pace {
    double period;  // seconds between frames
    double next;    // when the next frame is due
};

// The pace of a display refreshing `hertz` times a second, 60 where the rate
// is unknown (0, or 1: Windows' "the hardware's default") or beyond reason
// (above 1000); the first frame is due at `now`.
Pace StartPace(int hertz, double now);

// How long to wait, from `now`, before showing the next frame; moves the
// pace on by that frame.
double PaceDelay(Pace& pace, double now);

}  // namespace gdi8
