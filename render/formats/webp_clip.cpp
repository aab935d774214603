#include "webp_clip.h"

#include <webp/encode.h>

#include <cerrno>
#include <vector>

#include "clip_render.h"
#include "options.h"
#include "ukvo2.h"

namespace render {

namespace {

// The libwebp lossless preset, 0 (fastest) to 9 (smallest). On the loop, 2
// is an eighth smaller than 1 in about the same time; 3 saves 5 % more in
// nearly twice the time. Every frame is a key frame, so that the frames
// encode side by side: libwebp's animation encoder, which also tries each
// frame as a change to the one before, made larger files here.
constexpr int Effort = 2;

uint32_t Argb[256];           // the palette as the encoder's pixels
uint64_t Written = 0;         // bytes of the file so far
constexpr uint64_t MaxFile = 0xfffffff6u + 8;  // the RIFF size must fit 32 bits, less 10

// Puts `value` little-endian in `bytes` bytes.
void Put(std::vector<uint8_t>& out, uint64_t value, int bytes) {
    for (int k = 0; k < bytes; ++k) out.push_back(static_cast<uint8_t>(value >> (8 * k)));
}

void PutTag(std::vector<uint8_t>& out, const char* tag, uint32_t size) {
    out.insert(out.end(), tag, tag + 4);
    Put(out, size, 4);
}

bool Write(std::FILE* file, const std::vector<uint8_t>& bytes) {
    if (Written + bytes.size() > MaxFile) {
        errno = EFBIG;
        return false;
    }
    Written += bytes.size();
    return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

// The frame as a lossless WebP; keeps in frame.made its VP8L chunk, which
// follows the 12 bytes of the file's own RIFF header.
bool EncodeLossless(ClipFrame& frame) {
    WebPConfig config;
    WebPPicture picture;
    if (!WebPConfigInit(&config) || !WebPConfigLosslessPreset(&config, Effort) ||
        !WebPPictureInit(&picture))
        return false;
    picture.use_argb = 1;
    picture.width = ukvo2::Width;
    picture.height = ukvo2::Height;
    if (!WebPPictureAlloc(&picture)) {
        errno = ENOMEM;
        return false;
    }
    for (int32_t y = 0; y < ukvo2::Height; ++y) {
        const uint8_t* row = frame.pixels.data() + static_cast<size_t>(y) * ukvo2::Width;
        uint32_t* out = picture.argb + static_cast<size_t>(y) * picture.argb_stride;
        for (int32_t x = 0; x < ukvo2::Width; ++x) out[x] = Argb[row[x]];
    }
    WebPMemoryWriter writer;
    WebPMemoryWriterInit(&writer);
    picture.writer = WebPMemoryWrite;
    picture.custom_ptr = &writer;
    const bool ok = WebPEncode(&config, &picture) && writer.size > 12;
    if (ok) frame.made.assign(writer.mem + 12, writer.mem + writer.size);
    if (!ok && picture.error_code == VP8_ENC_ERROR_OUT_OF_MEMORY) errno = ENOMEM;
    WebPPictureFree(&picture);
    WebPMemoryWriterClear(&writer);
    return ok;
}

// RIFF, its size to come, WEBP; the canvas, animated; black behind it, and
// the loop for ever.
bool WriteHead(std::FILE* file) {
    std::vector<uint8_t> head;
    PutTag(head, "RIFF", 0);
    head.insert(head.end(), {'W', 'E', 'B', 'P'});
    PutTag(head, "VP8X", 10);
    Put(head, 0x02, 4);  // the animation flag, then reserved bytes
    Put(head, ukvo2::Width - 1, 3);
    Put(head, ukvo2::Height - 1, 3);
    PutTag(head, "ANIM", 6);
    Put(head, 0xff000000u, 4);  // opaque black, blue green red alpha
    Put(head, 0, 2);
    return Write(file, head);
}

// One frame over the whole canvas, shown for `duration` ms, not blended with
// the one before.
bool WriteFrame(std::FILE* file, const ClipFrame& frame, uint64_t duration) {
    std::vector<uint8_t> head;
    PutTag(head, "ANMF", static_cast<uint32_t>(16 + frame.made.size()));
    Put(head, 0, 6);  // at 0, 0
    Put(head, ukvo2::Width - 1, 3);
    Put(head, ukvo2::Height - 1, 3);
    Put(head, duration, 3);
    Put(head, 0x02, 1);  // no blending, no disposal
    return Write(file, head) && Write(file, frame.made);
}

// The RIFF size, now that it is known.
bool WriteSize(std::FILE* file) {
    std::vector<uint8_t> size;
    Put(size, Written - 8, 4);
    return std::fseek(file, 4, SEEK_SET) == 0 &&
           std::fwrite(size.data(), 1, 4, file) == 4 && std::fseek(file, 0, SEEK_END) == 0;
}

}  // namespace

bool WriteWebpClip(std::FILE* file, const RenderOptions& o) {
    for (int i = 0; i < 256; ++i) {
        const ukvo2::PaletteEntry& e = ukvo2::Palette[i];
        Argb[i] = 0xff000000u | uint32_t{e.red} << 16 | uint32_t{e.green} << 8 | e.blue;
    }
    Written = 0;
    return WriteHead(file) &&
           RenderClip(o.from, o.to, o.fps, ClipThreads(o.threads), EncodeLossless,
                      [file, fps = o.fps](ClipFrame& frame) {
                          const uint64_t i = frame.index;
                          return WriteFrame(file, frame, (i + 1) * 1000 / fps - i * 1000 / fps);
                      }) &&
           WriteSize(file);
}

}  // namespace render
