// The main loop: draw a frame, show it, count it, now and then retitle.
#include "run.h"

#include <cstdio>
#include <string>

#include "gdi8.h"
#include "ukvo2.h"

namespace ukvo2 {

int Run() {
    FrameRate rate;
    StartFrameRate(rate, ReadClock());
    // Pixels starts zero-filled, as static storage does.
    BuildPath();
    BuildPalette();
    if (!gdi8::OpenWindow("Kvo", Width, Height)) {
        std::fprintf(stderr, "kvo2: cannot open the window: %s\n", gdi8::OpenFailure());
        return 1;
    }
    gdi8::ColourEntry colours[256];
    for (int i = 0; i < 256; ++i) colours[i] = {Palette[i].blue, Palette[i].green, Palette[i].red, 0};
    gdi8::SetPalette(colours, 255);
    std::string title;
    for (;;) {
        RenderFrame();
        gdi8::ShowFrame(Pixels);
        if (CountFrame(rate, ReadClock(), title)) {
            gdi8::SetTitle(title.c_str());
            StartFrameRate(rate, ReadClock());
        }
    }
}

}  // namespace ukvo2
