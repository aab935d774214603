#include "gif_clip.h"

#include <cerrno>

#include "clip_frames.h"
#include "clip_render.h"
#include "gif_image.h"
#include "options.h"
#include "frame.h"

namespace render {

bool WriteGifClip(std::FILE* file, const RenderOptions& o, const ukvo2::PaletteEntry (&palette)[256]) {
    GifFileType* gif = BeginGif(file, ukvo2::Width, ukvo2::Height, palette);
    if (!gif) return false;
    const uint16_t delay = ClipFrameDelay(o.fps);
    // Each frame is compressed on its rendering thread and written in order.
    const auto encode = [delay, &palette](ClipFrame& frame) {
        return EncodeGifFrame(frame.pixels.data(), ukvo2::Width, ukvo2::Height, palette,
                              delay, frame.made);
    };
    const auto write = [file](ClipFrame& frame) {
        return std::fwrite(frame.made.data(), 1, frame.made.size(), file) == frame.made.size();
    };
    bool ok = RenderClip(o.from, o.to, o.fps, ClipThreads(o.threads), encode, write);
    const int err = errno;
    ok = EndGif(gif) && ok;
    if (!ok && err) errno = err;
    return ok;
}

}  // namespace render
