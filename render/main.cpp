// kvo2-render: writes the frame Kvo draws at a given clock reading, or a
// looping clip of the frames over a stretch of readings, in the format that
// the file's name asks for.
#include <cstdio>
#include <string>
#include <vector>

#include "atomic_file.h"
#include "clip_render.h"
#include "gif_clip.h"
#include "options.h"
#include "png_image.h"
#include "ukvo2.h"
#include "webp_clip.h"
#ifdef KVO_VIDEO
#include "video_clip.h"
#endif

namespace {

bool WriteStill(std::FILE* file, uint32_t t) {
    ukvo2::RenderFrameAt(t);
    imageio::Rgb colours[256];
    for (int i = 0; i < 256; ++i)
        colours[i] = {ukvo2::Palette[i].red, ukvo2::Palette[i].green, ukvo2::Palette[i].blue};
    return imageio::WriteIndexedPng(file, ukvo2::Pixels, ukvo2::Width, ukvo2::Height, colours,
                                    256);
}

bool WriteClip(std::FILE* file, const render::RenderOptions& o) {
    const unsigned threads = render::ClipThreads(o.threads);
    switch (o.format) {
        case render::Format::Gif:
            return render::WriteGifClip(file, o.from, o.to, o.fps, threads);
        case render::Format::Webp:
            return render::WriteWebpClip(file, o.from, o.to, o.fps, threads);
#ifdef KVO_VIDEO
        case render::Format::Mp4:
        case render::Format::Webm:
            return render::WriteVideoClip(
                file, o.format == render::Format::Mp4 ? render::Video::Mp4 : render::Video::Webm,
                o.from, o.to, o.fps, threads);
#endif
        default:
            return false;  // the options refuse the rest
    }
}

// One line on stderr, whatever bytes the reason holds (a file name, say).
int Refuse(const std::string& reason, int status) {
    std::fprintf(stderr, "kvo2-render: %s\n", render::OneLine(reason).c_str());
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    render::RenderOptions options;
    std::string error;
    if (!render::ParseRenderOptions(args, options, error)) return Refuse(error, 2);
    if (options.help) {
        std::fputs(render::RenderHelp().c_str(), stdout);
        return 0;
    }
    // Refuse a bad path before spending time on the frames.
    if (!imageio::CheckOutputPath(options.out, error)) return Refuse(error, 1);

    ukvo2::BuildPath();
    ukvo2::BuildPalette();
    const bool ok = imageio::WriteFileAtomically(
        options.out,
        [&options](std::FILE* file) {
            return options.clip ? WriteClip(file, options) : WriteStill(file, options.time);
        },
        error);
    return ok ? 0 : Refuse(error, 1);
}
