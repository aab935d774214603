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

// The file being written: the muxer, its output, the encoder, and the frame
// and packet between them.
AVFormatContext* Muxer = nullptr;
AVCodecContext* Encoder = nullptr;
AVStream* Stream = nullptr;
AVFrame* Picture = nullptr;
AVPacket* Packet = nullptr;
std::FILE* Output = nullptr;  // the file being written
int WriteError = 0;  // errno of the first failed write
int64_t ReadAt = 0;  // where the muxer reads the file back next
int ReadError = 0;   // errno of the first failed read

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

// Reads the file back at ReadAt, beside the writes: its own offset (pread),
// on the descriptor the writes go to.
int ReadFromFile(void*, uint8_t* data, int size) {
    const ssize_t got = pread(fileno(Output), data, static_cast<size_t>(size), ReadAt);
    if (got < 0 && !ReadError) ReadError = errno ? errno : EIO;
    if (got <= 0) return got < 0 ? AVERROR(ReadError) : AVERROR_EOF;
    ReadAt += got;
    return static_cast<int>(got);
}

// libavformat seeks from the start alone (AVSEEK_SIZE asks for the size).
int64_t SeekBack(void*, int64_t offset, int whence) {
    if ((whence & ~AVSEEK_FORCE) != SEEK_SET) return AVERROR(ENOSYS);
    ReadAt = offset;
    return ReadAt;
}

// The muxer's way to open a file (its io_open): only a second pass opens one,
// to read back the file being written, which has no name of its own yet (it
// is renamed once whole).
int ReadBack(AVFormatContext*, AVIOContext** pb, const char*, int flags, AVDictionary**) {
    if (flags & AVIO_FLAG_WRITE) return AVERROR(ENOSYS);
    if (std::fflush(Output) != 0) {
        if (!WriteError) WriteError = errno ? errno : EIO;
        return AVERROR(WriteError);
    }
    ReadAt = 0;
    auto* buffer = static_cast<uint8_t*>(av_malloc(BufferBytes));
    *pb = buffer ? avio_alloc_context(buffer, BufferBytes, 0, nullptr, ReadFromFile, nullptr,
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
bool Ok(int result) {
    if (result >= 0) return true;
    errno = WriteError ? WriteError
                       : ReadError ? ReadError : (-result < 4096 ? -result : EIO);
    return false;
}

// Parses key=value:key=value settings into `dict`.
bool Settings(const char* text, AVDictionary** dict) {
    return Ok(av_dict_parse_string(dict, text, "=", ":", 0));
}

// False for a setting left over in `dict`, one the library lacks; frees it.
bool AllTaken(AVDictionary** dict) {
    const bool unknown = av_dict_count(*dict) > 0;
    av_dict_free(dict);
    return !unknown || Ok(AVERROR(EINVAL));
}

bool OpenMuxer(std::FILE* file, const Kind& kind) {
    if (!Ok(avformat_alloc_output_context2(&Muxer, nullptr, kind.muxer, nullptr))) return false;
    Muxer->flags |= AVFMT_FLAG_BITEXACT;  // no random identifiers: the same bytes on every run
    Muxer->io_open = ReadBack;
    Muxer->io_close2 = CloseReadBack;
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
    if (!Settings(kind.settings, &settings)) return false;
    const int opened = avcodec_open2(Encoder, codec, &settings);
    return AllTaken(&settings) && Ok(opened);
}

bool OpenStream(const Kind& kind) {
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
    AVDictionary* muxing = nullptr;
    if (!Ok(av_frame_get_buffer(Picture, 0)) || !Settings(kind.muxing, &muxing)) return false;
    const int started = avformat_write_header(Muxer, &muxing);
    return AllTaken(&muxing) && Ok(started);
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

bool ConvertFrame(const YuvPalette& colours, ClipFrame& frame) {
    const size_t luma = ukvo2::FrameBytes, chroma = luma / 4;
    frame.made.resize(luma + 2 * chroma);
    uint8_t* y = frame.made.data();
    FrameToYuv420(colours, frame.pixels.data(), ukvo2::Width, ukvo2::Height, y, y + luma,
                  y + luma + chroma);
    return true;
}

bool WriteVideoClip(std::FILE* file, const Kind& k, const RenderOptions& o) {
    av_log_set_level(AV_LOG_QUIET);  // failures come back as results and errno
    const YuvPalette colours = MakeYuvPalette(ukvo2::Palette);
    const auto convert = [&colours](ClipFrame& frame) { return ConvertFrame(colours, frame); };
    Output = file;
    WriteError = ReadError = 0;
    const unsigned threads = ClipThreads(o.threads);
    bool ok = OpenMuxer(file, k) && OpenEncoder(k, o.fps, threads) && OpenStream(k) &&
              RenderClip(o.from, o.to, o.fps, threads, convert, EncodeFrame) &&
              Encode(nullptr) && Ok(av_write_trailer(Muxer));
    if (ok) avio_flush(Muxer->pb);
    // The second pass stops quietly where a read fails: that fails the file.
    ok = ok && Ok(Muxer->pb->error) && (!ReadError || Ok(AVERROR(ReadError)));
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
