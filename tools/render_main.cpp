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

// One line on stderr, whatever bytes the reason holds (a file name, say).
int Refuse(const std::string& reason, int status) {
    std::fprintf(stderr, "kvo2-render: %s\n", tools::OneLine(reason).c_str());
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    tools::RenderOptions options;
    std::string error;
    if (!tools::ParseRenderOptions(args, options, error)) return Refuse(error, 2);
    if (options.help) {
        std::fputs(tools::RenderHelp().c_str(), stdout);
        return 0;
    }
    // Refuse a bad path before spending time on the frames.
    if (!tools::CheckOutputPath(options.out, error)) return Refuse(error, 1);

    ukvo2::BuildPath();
    ukvo2::BuildPalette();
    const bool ok = tools::WriteFileAtomically(
        options.out,
        [&options](std::FILE* file) {
            return options.clip ? tools::WriteGifClip(file, options.from, options.to, options.fps)
                                : WriteStill(file, options.time);
        },
        error);
    return ok ? 0 : Refuse(error, 1);
}
