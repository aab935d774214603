#include "gif_clip.h"

#include <cerrno>

#include "clip_frames.h"
#include "clip_render.h"
#include "gif_image.h"
#include "options.h"
#include "frame.h"
#include "palette.h"

namespace render {

bool WriteGifClip(std::FILE* file, const RenderOptions& o) {
    GifFileType* gif = BeginGif(file, ukvo2::Width, ukvo2::Height, ukvo2::Palette);
    if (!gif) return false;
    const uint16_t delay = ClipFrameDelay(o.fps);
    // Each frame is compressed on its rendering thread and written in order.
    const auto encode = [delay](ClipFrame& frame) {
        return EncodeGifFrame(frame.pixels.data(), ukvo2::Width, ukvo2::Height, ukvo2::Palette,
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
