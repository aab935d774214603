// kvo2-render: writes the frame Kvo draws at a given clock reading, or a
// looping GIF of the frames over a stretch of readings.
#include <cstdio>
#include <string>
#include <vector>

#include "atomic_file.h"
#include "gif_clip.h"
#include "png_image.h"
#include "render_options.h"
#include "ukvo2.h"

namespace {

bool WriteStill(std::FILE* file, uint32_t t) {
    ukvo2::RenderFrameAt(t);
    return tools::WriteIndexedPng(file, ukvo2::Pixels, ukvo2::Width, ukvo2::Height,
                                  ukvo2::Palette);
}

}  // namespace

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
    // Refuse a bad path before spending time on the frames.
    if (!tools::CheckOutputPath(options.out, error)) {
        std::fprintf(stderr, "kvo2-render: %s\n", error.c_str());
        return 1;
    }

    ukvo2::BuildPath();
    ukvo2::BuildPalette();
    const bool ok = tools::WriteFileAtomically(
        options.out,
        [&options](std::FILE* file) {
            return options.clip ? tools::WriteGifClip(file, options.from, options.to, options.fps)
                                : WriteStill(file, options.time);
        },
        error);
    if (!ok) {
        std::fprintf(stderr, "kvo2-render: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
