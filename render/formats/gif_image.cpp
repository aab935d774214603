#include "gif_image.h"

#include <gif_lib.h>

namespace render {

namespace {

int WriteToStream(GifFileType* gif, const GifByteType* data, int size) {
    auto* file = static_cast<std::FILE*>(gif->UserData);
    return static_cast<int>(std::fwrite(data, 1, static_cast<size_t>(size), file));
}

int WriteToBytes(GifFileType* gif, const GifByteType* data, int size) {
    auto* bytes = static_cast<std::vector<uint8_t>*>(gif->UserData);
    bytes->insert(bytes->end(), data, data + size);
    return size;
}

// The GIF89a header and the screen, whose global colour table is `palette`.
bool PutScreen(GifFileType* gif, int32_t width, int32_t height,
               const ukvo2::PaletteEntry (&palette)[256]) {
    GifColorType colors[256];
    for (int i = 0; i < 256; ++i) colors[i] = {palette[i].red, palette[i].green, palette[i].blue};
    ColorMapObject* map = GifMakeMapObject(256, colors);
    EGifSetGifVersion(gif, true);
    const bool ok = map && EGifPutScreenDesc(gif, width, height, 8, 0, map) == GIF_OK;
    GifFreeMapObject(map);
    return ok;
}

// NETSCAPE2.0, sub-block 1: the loop count, 0 for ever.
bool PutLoopForEver(GifFileType* gif) {
    static const GifByteType name[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
    static const GifByteType loop[] = {1, 0, 0};
    return EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
           EGifPutExtensionBlock(gif, sizeof name, name) == GIF_OK &&
           EGifPutExtensionBlock(gif, sizeof loop, loop) == GIF_OK &&
           EGifPutExtensionTrailer(gif) == GIF_OK;
}

}  // namespace

GifFileType* BeginGif(std::FILE* file, int32_t width, int32_t height,
                      const ukvo2::PaletteEntry (&palette)[256]) {
    int err = 0;
    GifFileType* gif = EGifOpen(file, WriteToStream, &err);
    if (!gif) return nullptr;
    if (!PutScreen(gif, width, height, palette) || !PutLoopForEver(gif)) {
        EGifCloseFile(gif, &err);
        return nullptr;
    }
    return gif;
}

bool AddGifFrame(GifFileType* gif, uint8_t* pixels, uint16_t delay) {
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT;
    control.UserInputFlag = false;
    control.DelayTime = delay;
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType block[4];
    const size_t size = EGifGCBToExtension(&control, block);
    const int width = gif->SWidth;
    const int height = gif->SHeight;
    return EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(size), block) ==
               GIF_OK &&
           EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK &&
           EGifPutLine(gif, pixels, width * height) == GIF_OK;
}

bool EncodeGifFrame(uint8_t* pixels, int32_t width, int32_t height,
                    const ukvo2::PaletteEntry (&palette)[256], uint16_t delay,
                    std::vector<uint8_t>& bytes) {
    // A stream of its own, whose head and trailer are dropped: each frame's
    // compression starts afresh, so its bytes are those of the whole stream.
    std::vector<uint8_t> stream;
    int err = 0;
    GifFileType* gif = EGifOpen(&stream, WriteToBytes, &err);
    if (!gif) return false;
    const bool screen = PutScreen(gif, width, height, palette);
    const size_t head = stream.size();
    const bool ok = screen && AddGifFrame(gif, pixels, delay);
    if (EGifCloseFile(gif, &err) != GIF_OK || !ok) return false;
    bytes.assign(stream.begin() + static_cast<ptrdiff_t>(head), stream.end() - 1);  // less ';'
    return true;
}

bool EndGif(GifFileType* gif) {
    int err = 0;
    return EGifCloseFile(gif, &err) == GIF_OK;
}

}  // namespace render
