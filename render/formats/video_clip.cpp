#include "video_clip.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
}

#include <cerrno>
#include <cstring>

#include "clip_render.h"
#include "options.h"
#include "yuv_frame.h"

namespace render {

namespace {

// A video kind's muxer, encoder and encoder settings.
struct Kind {
    const char* muxer;
    const char* encoder;
    const char* settings;  // key=value:key=value, the encoder's options
};

// Over the loop at 30 fps, x264's medium preset at CRF 15 keeps every frame
// above 38 dB (PSNR, RGB) and averages 44 dB, in 27 MB. libvpx's real-time
// mode at speed 6 and CRF 22 gives about the same in a third less, four
// times as fast as its good-quality mode, which is only 3 % smaller.
const Kind Kinds[] = {
    {"mp4", "libx264", "preset=medium:crf=15"},
    {"webm", "libvpx-vp9", "deadline=realtime:cpu-used=6:crf=22:row-mt=1"},
};

// The file being written: the muxer, its output, the encoder, and the frame
// and packet between them.
AVFormatContext* Muxer = nullptr;
AVCodecContext* Encoder = nullptr;
AVStream* Stream = nullptr;
AVFrame* Picture = nullptr;
AVPacket* Packet = nullptr;
int WriteError = 0;  // errno of the first failed write

constexpr int BufferBytes = 1 << 16;

int WriteToFile(void* file, uint8_t* data, int size) {
    if (std::fwrite(data, 1, static_cast<size_t>(size), static_cast<std::FILE*>(file)) ==
        static_cast<size_t>(size))
        return size;
    if (!WriteError) WriteError = errno ? errno : EIO;
    return AVERROR(WriteError);
}

int64_t SeekInFile(void* file, int64_t offset, int whence) {
    if (whence & AVSEEK_SIZE) return AVERROR(ENOSYS);
    auto* stream = static_cast<std::FILE*>(file);
    if (fseeko(stream, offset, whence & ~AVSEEK_FORCE) != 0) return AVERROR(errno);
    return ftello(stream);
}

// True for a result that is not an error; otherwise sets errno: the failed
// write's, a system error the libraries pass on, or EIO.
bool Ok(int result) {
    if (result >= 0) return true;
    errno = WriteError ? WriteError : (-result < 4096 ? -result : EIO);
    return false;
}

bool OpenMuxer(std::FILE* file, const Kind& kind) {
    if (!Ok(avformat_alloc_output_context2(&Muxer, nullptr, kind.muxer, nullptr))) return false;
    Muxer->flags |= AVFMT_FLAG_BITEXACT;  // no random identifiers: the same bytes on every run
    auto* buffer = static_cast<uint8_t*>(av_malloc(BufferBytes));
    Muxer->pb = buffer ? avio_alloc_context(buffer, BufferBytes, 1, file, nullptr, WriteToFile,
                                            SeekInFile)
                       : nullptr;
    if (!Muxer->pb) av_free(buffer);
    return Muxer->pb || Ok(AVERROR(ENOMEM));
}

bool OpenEncoder(const Kind& kind, uint32_t fps, unsigned threads) {
    const AVCodec* codec = avcodec_find_encoder_by_name(kind.encoder);
    Encoder = codec ? avcodec_alloc_context3(codec) : nullptr;
    if (!Encoder) return Ok(AVERROR_ENCODER_NOT_FOUND);
    Encoder->width = ukvo2::Width;
    Encoder->height = ukvo2::Height;
    Encoder->pix_fmt = AV_PIX_FMT_YUV420P;
    Encoder->time_base = {1, static_cast<int>(fps)};
    Encoder->framerate = {static_cast<int>(fps), 1};
    Encoder->bit_rate = 0;  // the quality alone decides
    Encoder->thread_count = static_cast<int>(threads);
    Encoder->color_range = AVCOL_RANGE_MPEG;
    Encoder->color_primaries = AVCOL_PRI_BT709;
    Encoder->color_trc = AVCOL_TRC_BT709;
    Encoder->colorspace = AVCOL_SPC_BT709;
    Encoder->chroma_sample_location = AVCHROMA_LOC_LEFT;
    if (Muxer->oformat->flags & AVFMT_GLOBALHEADER) Encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* settings = nullptr;
    if (!Ok(av_dict_parse_string(&settings, kind.settings, "=", ":", 0))) return false;
    const int opened = avcodec_open2(Encoder, codec, &settings);
    const bool unknown = av_dict_count(settings) > 0;  // a setting the encoder lacks
    av_dict_free(&settings);
    return Ok(opened) && (!unknown || Ok(AVERROR(EINVAL)));
}

bool OpenStream() {
    Stream = avformat_new_stream(Muxer, nullptr);
    if (!Stream || !Ok(avcodec_parameters_from_context(Stream->codecpar, Encoder))) return false;
    Stream->time_base = Encoder->time_base;
    Stream->avg_frame_rate = Encoder->framerate;
    Picture = av_frame_alloc();
    Packet = av_packet_alloc();
    if (!Picture || !Packet) return Ok(AVERROR(ENOMEM));
    Picture->format = Encoder->pix_fmt;
    Picture->width = Encoder->width;
    Picture->height = Encoder->height;
    return Ok(av_frame_get_buffer(Picture, 0)) && Ok(avformat_write_header(Muxer, nullptr));
}

void Close() {
    if (Muxer && Muxer->pb) {
        av_freep(&Muxer->pb->buffer);
        avio_context_free(&Muxer->pb);
    }
    avformat_free_context(Muxer);
    avcodec_free_context(&Encoder);
    av_frame_free(&Picture);
    av_packet_free(&Packet);
    Muxer = nullptr;
    Stream = nullptr;
}

// Hands `picture` (null at the end) to the encoder and writes what it gives.
bool Encode(const AVFrame* picture) {
    if (!Ok(avcodec_send_frame(Encoder, picture))) return false;
    for (;;) {
        const int got = avcodec_receive_packet(Encoder, Packet);
        if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return true;
        if (!Ok(got)) return false;
        av_packet_rescale_ts(Packet, Encoder->time_base, Stream->time_base);
        Packet->stream_index = Stream->index;
        if (!Ok(av_interleaved_write_frame(Muxer, Packet))) return false;
    }
}

// The frame's planes into the encoder's picture, shown at frame.index / fps.
bool EncodeFrame(ClipFrame& frame) {
    if (!Ok(av_frame_make_writable(Picture))) return false;
    const uint8_t* plane = frame.made.data();
    for (int p = 0; p < 3; ++p) {
        const int width = p ? ukvo2::Width / 2 : ukvo2::Width;
        const int height = p ? ukvo2::Height / 2 : ukvo2::Height;
        for (int row = 0; row < height; ++row, plane += width)
            std::memcpy(Picture->data[p] + row * Picture->linesize[p], plane,
                        static_cast<size_t>(width));
    }
    Picture->pts = static_cast<int64_t>(frame.index);
    return Encode(Picture);
}

bool ConvertFrame(ClipFrame& frame) {
    const size_t luma = ukvo2::FrameBytes, chroma = luma / 4;
    frame.made.resize(luma + 2 * chroma);
    uint8_t* y = frame.made.data();
    FrameToYuv420(frame.pixels.data(), ukvo2::Width, ukvo2::Height, y, y + luma,
                  y + luma + chroma);
    return true;
}

bool WriteVideoClip(std::FILE* file, const Kind& k, const RenderOptions& o) {
    av_log_set_level(AV_LOG_QUIET);  // failures come back as results and errno
    SetYuvPalette(ukvo2::Palette);
    WriteError = 0;
    const unsigned threads = ClipThreads(o.threads);
    bool ok = OpenMuxer(file, k) && OpenEncoder(k, o.fps, threads) && OpenStream() &&
              RenderClip(o.from, o.to, o.fps, threads, ConvertFrame, EncodeFrame) &&
              Encode(nullptr) && Ok(av_write_trailer(Muxer));
    if (ok) avio_flush(Muxer->pb);
    ok = ok && Ok(Muxer->pb->error);
    const int err = errno;
    Close();
    errno = err;
    return ok;
}

}  // namespace

bool WriteMp4Clip(std::FILE* file, const RenderOptions& options) {
    return WriteVideoClip(file, Kinds[0], options);
}

bool WriteWebmClip(std::FILE* file, const RenderOptions& options) {
    return WriteVideoClip(file, Kinds[1], options);
}

}  // namespace render
