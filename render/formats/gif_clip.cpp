#include "gif_clip.h"

#include <cerrno>

#include "clip_frames.h"
#include "clip_render.h"
#include "gif_image.h"
#include "options.h"
#include "ukvo2.h"

namespace render {

bool WriteGifClip(std::FILE* file, const RenderOptions& o) {
    GifFileType* gif = BeginGif(file, ukvo2::Width, ukvo2::Height, ukvo2::Palette);
    if (!gif) return false;
    const uint16_t delay = ClipFrameDelay(o.fps);
    bool ok = RenderClip(o.from, o.to, o.fps, ClipThreads(o.threads), nullptr, [gif, delay](ClipFrame& frame) {
        return AddGifFrame(gif, frame.pixels.data(), delay);
    });
    const int err = errno;
    ok = EndGif(gif) && ok;
    if (!ok && err) errno = err;
    return ok;
}

}  // namespace render
