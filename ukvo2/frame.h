// The frame: the module's 8-bit buffer, and one frame as a function of the
// millisecond clock.
#pragma once

#include <cstdint>

#include "path.h"

namespace ukvo2 {

constexpr int32_t Width = 640;
constexpr int32_t Height = 480;
constexpr int32_t FrameBytes = Width * Height;

// The frame buffer: Width x Height palette indices, rows from the top down,
// no gaps between rows. Owned by this module for the life of the process,
// zero-filled at start-up; written by RenderFrame, read by the window.
extern uint8_t Pixels[FrameBytes];

// The blur factor of every frame.
constexpr double BlurFactor = 0.018;
// The iteration limit of every frame.
constexpr int32_t FrameIterations = 64;

// The Julia parameter at clock reading t (milliseconds). Needs BuildPath.
Complex JuliaParameter(uint32_t t);
// The same on `path` (made by MakePath): touches no state of the module.
Complex JuliaParameter(uint32_t t, const Complex (&path)[PathPoints]);

struct Centre {
    int32_t cx, cy;
};
// The zoom-blur centre for a frame of width x height: its column from clock
// reading t2, its row from t3.
Centre BlurCentre(uint32_t t2, uint32_t t3, int32_t width, int32_t height);

// Draws one frame into Pixels: reads the clock, renders the Julia set, reads
// the clock twice more for the blur centre, and blurs. Needs BuildPath.
void RenderFrame();

// Draws into Pixels the frame that RenderFrame draws when all three clock
// readings are t, without touching the clock. Needs BuildPath.
void RenderFrameAt(uint32_t t);

// The same frame into `pixels` (FrameBytes bytes, the caller's): touches no
// state of the module, so threads may draw frames side by side.
void RenderFrameAt(uint32_t t, uint8_t* pixels);

}  // namespace ukvo2
