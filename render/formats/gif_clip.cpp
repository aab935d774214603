#include "gif_clip.h"

#include <cerrno>

#include "clip_frames.h"
#include "clip_render.h"
#include "gif_image.h"
#include "ukvo2.h"

namespace render {

bool WriteGifClip(std::FILE* file, uint32_t from, uint32_t to, uint32_t fps, unsigned threads) {
    GifFileType* gif = BeginGif(file, ukvo2::Width, ukvo2::Height, ukvo2::Palette);
    if (!gif) return false;
    const uint16_t delay = ClipFrameDelay(fps);
    bool ok = RenderClip(from, to, fps, threads, nullptr, [gif, delay](ClipFrame& frame) {
        return AddGifFrame(gif, frame.pixels.data(), delay);
    });
    const int err = errno;
    ok = EndGif(gif) && ok;
    if (!ok && err) errno = err;
    return ok;
}

}  // namespace render
