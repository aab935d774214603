#include "webp_clip.h"

#include <webp/encode.h>

#include <cerrno>
#include <vector>

#include "clip_render.h"
#include "options.h"
#include "present.h"
#include "frame.h"
#include "palette.h"

namespace render {

namespace {

// The libwebp lossless preset, 0 (fastest) to 9 (smallest). On the loop, 2
// is an eighth smaller than 1 in about the same time; 3 saves 5 % more in
// nearly twice the time. Every frame is a key frame, so that the frames
// encode side by side: libwebp's animation encoder, which also tries each
// frame as a change to the one before, made larger files here.
constexpr int Effort = 2;

constexpr uint64_t MaxFile = 0xfffffff6u + 8;  // the RIFF size must fit 32 bits, less 10

// One clip being written: its file, the palette as the encoder's pixels, and
// the bytes written so far.
struct WebpClip {
    std::FILE* file;
    uint32_t argb[256];
    uint64_t written = 0;
};

// Puts `value` little-endian in `bytes` bytes.
void Put(std::vector<uint8_t>& out, uint64_t value, int bytes) {
    for (int k = 0; k < bytes; ++k) out.push_back(static_cast<uint8_t>(value >> (8 * k)));
}

void PutTag(std::vector<uint8_t>& out, const char* tag, uint32_t size) {
    out.insert(out.end(), tag, tag + 4);
    Put(out, size, 4);
}

bool Write(WebpClip& clip, const std::vector<uint8_t>& bytes) {
    if (clip.written + bytes.size() > MaxFile) {
        errno = EFBIG;
        return false;
    }
    clip.written += bytes.size();
    return std::fwrite(bytes.data(), 1, bytes.size(), clip.file) == bytes.size();
}

// The frame as a lossless WebP; keeps in frame.made its VP8L chunk, which
// follows the 12 bytes of the file's own RIFF header.
bool EncodeLossless(const uint32_t (&argb)[256], ClipFrame& frame) {
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
    for (int32_t y = 0; y < ukvo2::Height; ++y)
        gdi8::ExpandFrame(frame.pixels.data() + static_cast<size_t>(y) * ukvo2::Width, ukvo2::Width,
                          argb, picture.argb + static_cast<size_t>(y) * picture.argb_stride);
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
bool WriteHead(WebpClip& clip) {
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
    return Write(clip, head);
}

// One frame over the whole canvas, shown for `duration` ms, not blended with
// the one before.
bool WriteFrame(WebpClip& clip, const ClipFrame& frame, uint64_t duration) {
    std::vector<uint8_t> head;
    PutTag(head, "ANMF", static_cast<uint32_t>(16 + frame.made.size()));
    Put(head, 0, 6);  // at 0, 0
    Put(head, ukvo2::Width - 1, 3);
    Put(head, ukvo2::Height - 1, 3);
    Put(head, duration, 3);
    Put(head, 0x02, 1);  // no blending, no disposal
    return Write(clip, head) && Write(clip, frame.made);
}

// The RIFF size, now that it is known.
bool WriteSize(WebpClip& clip) {
    std::vector<uint8_t> size;
    Put(size, clip.written - 8, 4);
    return std::fseek(clip.file, 4, SEEK_SET) == 0 &&
           std::fwrite(size.data(), 1, 4, clip.file) == 4 && std::fseek(clip.file, 0, SEEK_END) == 0;
}

}  // namespace

bool WriteWebpClip(std::FILE* file, const RenderOptions& o, const ukvo2::PaletteEntry (&palette)[256]) {
    WebpClip clip{file, {}, 0};
    for (int i = 0; i < 256; ++i) {
        const ukvo2::PaletteEntry& e = palette[i];
        clip.argb[i] = gdi8::Argb(e.red, e.green, e.blue);
    }
    return WriteHead(clip) &&
           RenderClip(o.from, o.to, o.fps, ClipThreads(o.threads),
                      [&clip](ClipFrame& frame) { return EncodeLossless(clip.argb, frame); },
                      [&clip, fps = o.fps](ClipFrame& frame) {
                          const uint64_t i = frame.index;
                          return WriteFrame(clip, frame, (i + 1) * 1000 / fps - i * 1000 / fps);
                      }) &&
           WriteSize(clip);
}

}  // namespace render
