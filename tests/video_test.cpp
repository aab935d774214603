// kvo2-render's video as a player meets it: each clip decoded by FFmpeg and
// set in RGB by libswscale as the stream states its colours, against the
// stills; and the colour conversion against BT.709's published values.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include "options.h"
#include "frame.h"
#include "palette.h"
#include "path.h"
#include "video_clip.h"
#include "yuv_frame.h"

namespace {

// A video file as decoded: what its stream states, and each frame in RGB
// with its time in the stream's units.
struct Decoded {
    AVCodecID codec = AV_CODEC_ID_NONE;
    AVRational rate{}, timeBase{};
    std::string colours;  // format, range, primaries, transfer, matrix, siting
    std::vector<std::vector<uint8_t>> rgb;
    std::vector<int64_t> times;
};

// The frame in RGB, with the chroma sited where the frame says.
std::vector<uint8_t> ToRgb(const AVFrame* f) {
    SwsContext* sws = sws_alloc_context();
    int hPos = 0, vPos = 0;
    avcodec_enum_to_chroma_pos(&hPos, &vPos, f->chroma_location);
    for (const auto& [name, value] : std::initializer_list<std::pair<const char*, int64_t>>{
             {"srcw", f->width}, {"srch", f->height}, {"src_format", f->format}, {"dstw", f->width},
             {"dsth", f->height}, {"dst_format", AV_PIX_FMT_RGB24}, {"src_h_chr_pos", hPos},
             {"src_v_chr_pos", vPos}, {"sws_flags", SWS_BILINEAR | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT}})
        av_opt_set_int(sws, name, value, 0);
    std::vector<uint8_t> rgb(static_cast<size_t>(f->width) * f->height * 3);
    if (sws_init_context(sws, nullptr, nullptr) >= 0) {
        const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
        sws_setColorspaceDetails(sws, bt709, f->color_range == AVCOL_RANGE_JPEG, bt709, 1, 0,
                                 1 << 16, 1 << 16);
        uint8_t* out[4] = {rgb.data()};
        const int stride[4] = {f->width * 3};
        sws_scale(sws, f->data, f->linesize, 0, f->height, out, stride);
    }
    sws_freeContext(sws);
    return rgb;
}

void Keep(Decoded& d, const AVFrame* f) {
    d.colours = std::string(av_get_pix_fmt_name(static_cast<AVPixelFormat>(f->format))) + " " +
                av_color_range_name(f->color_range) + " " + av_color_primaries_name(f->color_primaries) +
                " " + av_color_transfer_name(f->color_trc) + " " + av_color_space_name(f->colorspace) +
                " " + av_chroma_location_name(f->chroma_location) + " " + std::to_string(f->width) +
                "x" + std::to_string(f->height);
    d.rgb.push_back(ToRgb(f));
    d.times.push_back(f->best_effort_timestamp);
}

Decoded Decode(const std::string& path) {
    Decoded d;
    AVFormatContext* in = nullptr;
    if (avformat_open_input(&in, path.c_str(), nullptr, nullptr) < 0) return d;
    const AVStream* stream = avformat_find_stream_info(in, nullptr) >= 0 ? in->streams[0] : nullptr;
    const AVCodec* codec = stream ? avcodec_find_decoder(stream->codecpar->codec_id) : nullptr;
    AVCodecContext* decoder = avcodec_alloc_context3(codec);
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    if (codec && avcodec_parameters_to_context(decoder, stream->codecpar) >= 0 &&
        avcodec_open2(decoder, codec, nullptr) >= 0) {
        d.codec = codec->id;
        d.rate = stream->avg_frame_rate;
        d.timeBase = stream->time_base;
        for (bool more = true; more;) {
            more = av_read_frame(in, packet) >= 0;
            avcodec_send_packet(decoder, more ? packet : nullptr);  // null: the end
            av_packet_unref(packet);
            while (avcodec_receive_frame(decoder, frame) >= 0) Keep(d, frame);
        }
    }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    avformat_close_input(&in);
    return d;
}

// Peak signal to noise, in dB, of `rgb` against the still at reading t.
double Psnr(const std::vector<uint8_t>& rgb, uint32_t t) {
    std::vector<uint8_t> still(ukvo2::FrameBytes);
    ukvo2::RenderFrameAt(t, still.data());
    double sum = 0;
    for (size_t n = 0; n < still.size(); ++n) {
        const ukvo2::PaletteEntry& e = ukvo2::Palette[still[n]];
        for (const auto& [got, want] : {std::pair{rgb[3 * n], e.red}, {rgb[3 * n + 1], e.green}, {rgb[3 * n + 2], e.blue}})
            sum += (got - want) * (got - want);
    }
    return 10 * std::log10(255.0 * 255.0 * 3 * static_cast<double>(still.size()) / sum);
}

// The top-level boxes of an MP4 file, "ftyp moov free mdat"; "" unless
// they cover the file exactly.
std::string TopBoxes(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    std::string boxes;
    uint8_t head[16];
    int64_t at = 0;
    while (file && std::fread(head, 1, 8, file) == 8) {
        uint64_t size = 0;
        for (int k = 0; k < 4; ++k) size = size << 8 | head[k];
        if (size == 1 && std::fread(head + 8, 1, 8, file) == 8)  // a 64-bit size follows
            for (int k = 8; k < 16; ++k) size = size << 8 | head[k];
        boxes += (boxes.empty() ? "" : " ") + std::string(reinterpret_cast<char*>(head) + 4, 4);
        at += static_cast<int64_t>(size);
        if (size < 8 || fseeko(file, at, SEEK_SET) != 0) break;
    }
    const bool whole = file && std::fseek(file, 0, SEEK_END) == 0 && ftello(file) == at;
    if (file) std::fclose(file);
    return whole ? boxes : "";
}

TEST(Video, ClipsAreTheirStillsAtExactlyTheirRate) {
    ukvo2::BuildPath();
    ukvo2::BuildPalette();
    const struct { const char* name; const char* args; uint32_t from, fps; size_t count; AVCodecID codec; } cases[] = {
        {"clip.mp4", "--from 149700 --to 150300 --fps 60", 149700, 60, 36, AV_CODEC_ID_H264},  // the loop's end
        {"clip.webm", "--from 30000 --to 31000 --fps 30 --threads 5", 30000, 30, 30, AV_CODEC_ID_VP9},
        {"clip.MP4", "--from 90000 --to 90500 --fps 7 --threads 1", 90000, 7, 4, AV_CODEC_ID_H264},
    };
    char folder[] = "/tmp/kvo2-video-test.XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = std::string(folder) + "/" + c.name;
        // Twice: the same bytes on every run.
        const std::string run = std::string(KVO2_RENDER " ") + c.args + " --out ";
        const std::string again = std::string(folder) + "/again-" + c.name;
        const int status = std::system((run + path + " && " + run + again + " && cmp " + path + " " + again).c_str());
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        if (c.codec == AV_CODEC_ID_H264) {  // the index first, so that it plays as it loads
            EXPECT_EQ(TopBoxes(path), "ftyp moov free mdat");
        }
        const Decoded d = Decode(path);
        EXPECT_EQ(d.codec, c.codec);
        EXPECT_EQ(d.colours, "yuv420p tv bt709 bt709 bt709 left 640x480");
        EXPECT_EQ(av_cmp_q(d.rate, AVRational{static_cast<int>(c.fps), 1}), 0) << d.rate.num << "/" << d.rate.den;
        ASSERT_EQ(d.rgb.size(), c.count);
        double sum = 0, least = 99;
        for (size_t k = 0; k < c.count; ++k) {
            // Frame k at k / fps seconds, to the nearest unit of the stream's time
            // (WebM's is the millisecond).
            const int64_t late = d.times[k] * d.timeBase.num * c.fps - static_cast<int64_t>(k) * d.timeBase.den;
            EXPECT_LE(2 * std::abs(late), d.timeBase.num * c.fps) << k;
            const double psnr = Psnr(d.rgb[k], c.from + static_cast<uint32_t>(k * 1000 / c.fps));
            sum += psnr;
            least = std::min(least, psnr);
        }
        EXPECT_GE(sum / c.count, 40.0);
        EXPECT_GE(least, 35.0);
        std::printf("%s: %.2f dB on average, %.2f dB at the lowest\n", c.name, sum / c.count, least);
        std::remove(path.c_str());
        std::remove(again.c_str());
    }
    rmdir(folder);
}

TEST(Video, Mp4IsWholeOrNotAtAll) {
    // Moving the index to the front reads the file back: a stream that
    // cannot be read fails the clip rather than leave the frames in place.
    render::RenderOptions options;
    options.from = 0, options.to = 200, options.fps = 10, options.threads = 1;
    const std::string name = "/tmp/kvo2-video-test-" + std::to_string(getpid()) + ".mp4";
    std::FILE* writeOnly = std::fopen(name.c_str(), "wb");
    ASSERT_TRUE(writeOnly);
    errno = 0;
    EXPECT_FALSE(render::WriteMp4Clip(writeOnly, options, ukvo2::Palette));
    EXPECT_EQ(errno, EBADF);
    std::fclose(writeOnly);
    std::remove(name.c_str());
}

TEST(Video, ColoursAreBt709LimitedRangeSitedLeft) {
    // Black, white, red, green, blue: BT.709's published Y'CbCr.
    ukvo2::PaletteEntry palette[256]{};
    const uint8_t rgb[5][3] = {{0, 0, 0}, {255, 255, 255}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    for (int i = 0; i < 5; ++i) palette[i] = {rgb[i][2], rgb[i][1], rgb[i][0], 0};
    const int yuv[5][3] = {{16, 128, 128}, {235, 128, 128}, {63, 102, 240}, {173, 42, 26}, {32, 240, 118}};
    const render::YuvPalette colours = render::MakeYuvPalette(palette);
    for (int i = 0; i < 5; ++i) {
        const uint8_t pixels[4] = {uint8_t(i), uint8_t(i), uint8_t(i), uint8_t(i)};
        uint8_t y[4], cb, cr;
        render::FrameToYuv420(colours, pixels, 2, 2, y, &cb, &cr);
        EXPECT_EQ((std::vector<int>{y[0], y[3], cb, cr}), (std::vector<int>{yuv[i][0], yuv[i][0], yuv[i][1], yuv[i][2]})) << i;
    }
    // Red in column 1 of four, black elsewhere, on both rows: the sample on
    // column 0 weighs columns 0, 0, 1 as 1, 2, 1, the one on column 2 columns
    // 1, 2, 3; so each holds a quarter of red's 112 above 128.
    const uint8_t pixels[8] = {0, 2, 0, 0, 0, 2, 0, 0};
    uint8_t y[8], cb[2], cr[2];
    render::FrameToYuv420(colours, pixels, 4, 2, y, cb, cr);
    EXPECT_EQ((std::vector<int>{cr[0], cr[1], y[1], y[6]}), (std::vector<int>{156, 156, 63, 16}));
}

}  // namespace
