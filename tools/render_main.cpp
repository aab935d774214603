// kvo2-render: writes the frame Kvo draws at a given clock reading.
#include <cstdio>
#include <string>
#include <vector>

#include "atomic_file.h"
#include "png_image.h"
#include "render_options.h"
#include "ukvo2.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    tools::RenderOptions options;
    std::string error;
    if (!tools::ParseRenderOptions(args, options, error)) {
        std::fprintf(stderr, "kvo2-render: %s\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(tools::RenderUsage, stdout);
        return 0;
    }
    // Refuse a bad path before spending time on the frame.
    if (!tools::CheckOutputPath(options.out, error)) {
        std::fprintf(stderr, "kvo2-render: %s\n", error.c_str());
        return 1;
    }

    ukvo2::BuildPath();
    ukvo2::BuildPalette();
    const uint32_t t = options.time;
    ukvo2::SetClock([t] { return t; });
    ukvo2::RenderFrame();

    const bool ok = tools::WriteFileAtomically(
        options.out,
        [](std::FILE* file) {
            return tools::WriteIndexedPng(file, ukvo2::Pixels, ukvo2::Width, ukvo2::Height,
                                          ukvo2::Palette);
        },
        error);
    if (!ok) {
        std::fprintf(stderr, "kvo2-render: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
