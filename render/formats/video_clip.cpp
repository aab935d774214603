#include "video_clip.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
}

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "clip_render.h"
#include "frame.h"
#include "options.h"
#include "yuv_frame.h"

namespace render {

namespace {

// A video kind's muxer, its settings, the encoder and its settings.
struct Kind {
    const char* muxer;
    const char* muxing;    // key=value:key=value, the muxer's options
    const char* encoder;
    const char* settings;  // key=value:key=value, the encoder's options
};

// Over the loop at 30 fps, x264's medium preset at CRF 15 keeps every frame
// above 38 dB (PSNR, RGB) and averages 44 dB, in 27 MB. libvpx's real-time
// mode at speed 6 and CRF 22 gives about the same in a third less, four
// times as fast as its good-quality mode, which is only 3 % smaller. An MP4's
// index (moov) goes before the frames (mdat), so that it plays as it loads:
// the muxer then reads the frames back and moves them up (ReadBack).
const Kind Kinds[] = {
    {"mp4", "movflags=+faststart", "libx264", "preset=medium:crf=15"},
    {"webm", "", "libvpx-vp9", "deadline=realtime:cpu-used=6:crf=22:row-mt=1"},
};

// One clip being written: the muxer, its file, the encoder, and the frame
// and packet between them; and where the muxer reads the file back.
// Created when the clip starts, released by Close on every path. The
// callbacks that libavformat calls find it through their opaque pointer (the
// muxer's own for io_open).
struct VideoClip {
    AVFormatContext* muxer = nullptr;
    AVCodecContext* encoder = nullptr;
    AVStream* stream = nullptr;
    AVFrame* picture = nullptr;
    AVPacket* packet = nullptr;
    std::FILE* output = nullptr;
    int writeError = 0;  // errno of the first failed write
    int64_t readAt = 0;  // where the muxer reads the file back next
    int readError = 0;   // errno of the first failed read
};

constexpr int BufferBytes = 1 << 16;

VideoClip& ClipOf(void* opaque) { return *static_cast<VideoClip*>(opaque); }

int WriteToFile(void* opaque, uint8_t* data, int size) {
    VideoClip& clip = ClipOf(opaque);
    if (std::fwrite(data, 1, static_cast<size_t>(size), clip.output) == static_cast<size_t>(size))
        return size;
    if (!clip.writeError) clip.writeError = errno ? errno : EIO;
    return AVERROR(clip.writeError);
}

int64_t SeekInFile(void* opaque, int64_t offset, int whence) {
    if (whence & AVSEEK_SIZE) return AVERROR(ENOSYS);
    std::FILE* stream = ClipOf(opaque).output;
    if (fseeko(stream, offset, whence & ~AVSEEK_FORCE) != 0) return AVERROR(errno);
    return ftello(stream);
}

// Reads the file back at readAt, beside the writes: its own offset (pread),
// on the descriptor the writes go to.
int ReadFromFile(void* opaque, uint8_t* data, int size) {
    VideoClip& clip = ClipOf(opaque);
    const ssize_t got = pread(fileno(clip.output), data, static_cast<size_t>(size), clip.readAt);
    if (got < 0 && !clip.readError) clip.readError = errno ? errno : EIO;
    if (got <= 0) return got < 0 ? AVERROR(clip.readError) : AVERROR_EOF;
    clip.readAt += got;
    return static_cast<int>(got);
}

// libavformat seeks from the start alone (AVSEEK_SIZE asks for the size).
int64_t SeekBack(void* opaque, int64_t offset, int whence) {
    if ((whence & ~AVSEEK_FORCE) != SEEK_SET) return AVERROR(ENOSYS);
    ClipOf(opaque).readAt = offset;
    return offset;
}

// The muxer's way to open a file (its io_open): only a second pass opens one,
// to read back the file being written, which has no name of its own yet (it
// is renamed once whole).
int ReadBack(AVFormatContext* muxer, AVIOContext** pb, const char*, int flags, AVDictionary**) {
    if (flags & AVIO_FLAG_WRITE) return AVERROR(ENOSYS);
    VideoClip& clip = ClipOf(muxer->opaque);
    if (std::fflush(clip.output) != 0) {
        if (!clip.writeError) clip.writeError = errno ? errno : EIO;
        return AVERROR(clip.writeError);
    }
    clip.readAt = 0;
    auto* buffer = static_cast<uint8_t*>(av_malloc(BufferBytes));
    *pb = buffer ? avio_alloc_context(buffer, BufferBytes, 0, &clip, ReadFromFile, nullptr,
                                      SeekBack)
                 : nullptr;
    if (!*pb) av_free(buffer);
    return *pb ? 0 : AVERROR(ENOMEM);
}

int CloseReadBack(AVFormatContext*, AVIOContext* pb) {
    av_freep(&pb->buffer);
    avio_context_free(&pb);
    return 0;
}

// True for a result that is not an error; otherwise sets errno: the failed
// write's or read's, a system error the libraries pass on, or EIO.
bool Ok(const VideoClip& clip, int result) {
    if (result >= 0) return true;
    errno = clip.writeError ? clip.writeError
                            : clip.readError ? clip.readError : (-result < 4096 ? -result : EIO);
    return false;
}

// Parses key=value:key=value settings into `dict`.
bool Settings(const VideoClip& clip, const char* text, AVDictionary** dict) {
    return Ok(clip, av_dict_parse_string(dict, text, "=", ":", 0));
}

// False for a setting left over in `dict`, one the library lacks; frees it.
bool AllTaken(const VideoClip& clip, AVDictionary** dict) {
    const bool unknown = av_dict_count(*dict) > 0;
    av_dict_free(dict);
    return !unknown || Ok(clip, AVERROR(EINVAL));
}

bool OpenMuxer(VideoClip& clip, const Kind& kind) {
    if (!Ok(clip, avformat_alloc_output_context2(&clip.muxer, nullptr, kind.muxer, nullptr)))
        return false;
    clip.muxer->flags |= AVFMT_FLAG_BITEXACT;  // no random identifiers: the same bytes on every run
    clip.muxer->opaque = &clip;
    clip.muxer->io_open = ReadBack;
    clip.muxer->io_close2 = CloseReadBack;
    auto* buffer = static_cast<uint8_t*>(av_malloc(BufferBytes));
    clip.muxer->pb = buffer ? avio_alloc_context(buffer, BufferBytes, 1, &clip, nullptr,
                                                 WriteToFile, SeekInFile)
                            : nullptr;
    if (!clip.muxer->pb) av_free(buffer);
    return clip.muxer->pb || Ok(clip, AVERROR(ENOMEM));
}

bool OpenEncoder(VideoClip& clip, const Kind& kind, uint32_t fps, unsigned threads) {
    const AVCodec* codec = avcodec_find_encoder_by_name(kind.encoder);
    clip.encoder = codec ? avcodec_alloc_context3(codec) : nullptr;
    AVCodecContext* encoder = clip.encoder;
    if (!encoder) return Ok(clip, AVERROR_ENCODER_NOT_FOUND);
    encoder->width = ukvo2::Width;
    encoder->height = ukvo2::Height;
    encoder->pix_fmt = AV_PIX_FMT_YUV420P;
    encoder->time_base = {1, static_cast<int>(fps)};
    encoder->framerate = {static_cast<int>(fps), 1};
    encoder->bit_rate = 0;  // the quality alone decides
    encoder->thread_count = static_cast<int>(threads);
    encoder->color_range = AVCOL_RANGE_MPEG;
    encoder->color_primaries = AVCOL_PRI_BT709;
    encoder->color_trc = AVCOL_TRC_BT709;
    encoder->colorspace = AVCOL_SPC_BT709;
    encoder->chroma_sample_location = AVCHROMA_LOC_LEFT;
    if (clip.muxer->oformat->flags & AVFMT_GLOBALHEADER) encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* settings = nullptr;
    if (!Settings(clip, kind.settings, &settings)) return false;
    const int opened = avcodec_open2(encoder, codec, &settings);
    return AllTaken(clip, &settings) && Ok(clip, opened);
}

bool OpenStream(VideoClip& clip, const Kind& kind) {
    clip.stream = avformat_new_stream(clip.muxer, nullptr);
    if (!clip.stream || !Ok(clip, avcodec_parameters_from_context(clip.stream->codecpar, clip.encoder)))
        return false;
    clip.stream->time_base = clip.encoder->time_base;
    clip.stream->avg_frame_rate = clip.encoder->framerate;
    clip.picture = av_frame_alloc();
    clip.packet = av_packet_alloc();
    if (!clip.picture || !clip.packet) return Ok(clip, AVERROR(ENOMEM));
    clip.picture->format = clip.encoder->pix_fmt;
    clip.picture->width = clip.encoder->width;
    clip.picture->height = clip.encoder->height;
    AVDictionary* muxing = nullptr;
    if (!Ok(clip, av_frame_get_buffer(clip.picture, 0)) || !Settings(clip, kind.muxing, &muxing))
        return false;
    const int started = avformat_write_header(clip.muxer, &muxing);
    return AllTaken(clip, &muxing) && Ok(clip, started);
}

// Releases whatever the clip holds, however far it got.
void Close(VideoClip& clip) {
    if (clip.muxer && clip.muxer->pb) {
        av_freep(&clip.muxer->pb->buffer);
        avio_context_free(&clip.muxer->pb);
    }
    avformat_free_context(clip.muxer);
    avcodec_free_context(&clip.encoder);
    av_frame_free(&clip.picture);
    av_packet_free(&clip.packet);
    clip.muxer = nullptr;
    clip.stream = nullptr;
}

// Hands `picture` (null at the end) to the encoder and writes what it gives.
bool Encode(VideoClip& clip, const AVFrame* picture) {
    if (!Ok(clip, avcodec_send_frame(clip.encoder, picture))) return false;
    for (;;) {
        const int got = avcodec_receive_packet(clip.encoder, clip.packet);
        if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return true;
        if (!Ok(clip, got)) return false;
        av_packet_rescale_ts(clip.packet, clip.encoder->time_base, clip.stream->time_base);
        clip.packet->stream_index = clip.stream->index;
        if (!Ok(clip, av_interleaved_write_frame(clip.muxer, clip.packet))) return false;
    }
}

// The frame's planes into the encoder's picture, shown at frame.index / fps.
bool EncodeFrame(VideoClip& clip, ClipFrame& frame) {
    AVFrame* picture = clip.picture;
    if (!Ok(clip, av_frame_make_writable(picture))) return false;
    const uint8_t* plane = frame.made.data();
    for (int p = 0; p < 3; ++p) {
        const int width = p ? ukvo2::Width / 2 : ukvo2::Width;
        const int height = p ? ukvo2::Height / 2 : ukvo2::Height;
        for (int row = 0; row < height; ++row, plane += width)
            std::memcpy(picture->data[p] + row * picture->linesize[p], plane,
                        static_cast<size_t>(width));
    }
    picture->pts = static_cast<int64_t>(frame.index);
    return Encode(clip, picture);
}

bool ConvertFrame(const YuvPalette& colours, ClipFrame& frame) {
    const size_t luma = ukvo2::FrameBytes, chroma = luma / 4;
    frame.made.resize(luma + 2 * chroma);
    uint8_t* y = frame.made.data();
    FrameToYuv420(colours, frame.pixels.data(), ukvo2::Width, ukvo2::Height, y, y + luma,
                  y + luma + chroma);
    return true;
}

bool WriteVideoClip(std::FILE* file, const Kind& k, const RenderOptions& o,
                    const ukvo2::PaletteEntry (&palette)[256]) {
    av_log_set_level(AV_LOG_QUIET);  // failures come back as results and errno
    const YuvPalette colours = MakeYuvPalette(palette);
    VideoClip clip;
    clip.output = file;
    const unsigned threads = ClipThreads(o.threads);
    bool ok = OpenMuxer(clip, k) && OpenEncoder(clip, k, o.fps, threads) && OpenStream(clip, k) &&
              RenderClip(o.from, o.to, o.fps, threads,
                         [&colours](ClipFrame& frame) { return ConvertFrame(colours, frame); },
                         [&clip](ClipFrame& frame) { return EncodeFrame(clip, frame); }) &&
              Encode(clip, nullptr) && Ok(clip, av_write_trailer(clip.muxer));
    if (ok) avio_flush(clip.muxer->pb);
    // The second pass stops quietly where a read fails: that fails the file.
    ok = ok && Ok(clip, clip.muxer->pb->error) &&
         (!clip.readError || Ok(clip, AVERROR(clip.readError)));
    const int err = errno;
    Close(clip);
    errno = err;
    return ok;
}

}  // namespace

bool WriteMp4Clip(std::FILE* file, const RenderOptions& options,
                  const ukvo2::PaletteEntry (&palette)[256]) {
    return WriteVideoClip(file, Kinds[0], options, palette);
}

bool WriteWebmClip(std::FILE* file, const RenderOptions& options,
                   const ukvo2::PaletteEntry (&palette)[256]) {
    return WriteVideoClip(file, Kinds[1], options, palette);
}

}  // namespace render
