// The module's interface to the web page, under C names: set-up, one frame,
// the frame count for the title, and where the page finds the picture and
// the title. The page hands in the clock (ukvo2/clock/clock_web.cpp).
#include <cstring>
#include <string>

#include "present.h"
#include "ukvo2.h"

#define KVO_EXPORT(name) extern "C" __attribute__((export_name(#name)))

namespace {
uint32_t Colours[256];                // the palette as canvas pixels: bytes red, green, blue, 255
uint32_t Image[ukvo2::FrameBytes];    // the frame through Colours
char Title[64] = "Kvo";
ukvo2::FrameRate Rate;
}  // namespace

// Starts the frame count, builds the path, the palette and the colour table.
KVO_EXPORT(KvoStart) void KvoStart() {
    ukvo2::StartFrameRate(Rate, ukvo2::ReadClock());
    ukvo2::BuildPath();
    ukvo2::BuildPalette();
    for (int i = 0; i < 256; ++i) {
        const ukvo2::PaletteEntry& e = ukvo2::Palette[i];
        Colours[i] = e.red | e.green << 8 | e.blue << 16 | 0xFF000000u;
    }
}

// Draws one frame (three readings of the clock) and puts it through the
// colour table into the image.
KVO_EXPORT(KvoFrame) void KvoFrame() {
    ukvo2::RenderFrame();
    gdi8::ExpandFrame(ukvo2::Pixels, ukvo2::FrameBytes, Colours, Image);
}

// Counts a shown frame: 1 when the title has a new rate (and the count starts
// again), else 0.
KVO_EXPORT(KvoCount) int KvoCount() {
    std::string title;
    if (!ukvo2::CountFrame(Rate, ukvo2::ReadClock(), title)) return 0;
    std::strncpy(Title, title.c_str(), sizeof Title - 1);
    ukvo2::StartFrameRate(Rate, ukvo2::ReadClock());
    return 1;
}

// The image, Width x Height pixels of 4 bytes, and the title, zero-ended.
KVO_EXPORT(KvoImage) const uint32_t* KvoImage() { return Image; }
KVO_EXPORT(KvoTitle) const char* KvoTitle() { return Title; }
