#include "format_table.h"

#include "gif_clip.h"
#include "png_still.h"
#include "webp_clip.h"
#ifdef KVO_VIDEO
#include "video_clip.h"
#define KVO_VIDEO_WRITER(writer) writer
#else
#define KVO_VIDEO_WRITER(writer) nullptr  // a row the build knows but cannot write
#endif

namespace render {

// Each row's first line holds its name, title, kind, rate and writer, where
// CMake reads them (cmake/KvoFormats.cmake).
const std::vector<Format>& Formats() {
    static const std::vector<Format> table = {
        {"png", "PNG", Kind::Still, 0, WritePngStill,
         "an 8-bit indexed-colour PNG whose colour table is Kvo's palette"},
        {"gif", "GIF", Kind::Clip, 50, WriteGifClip,
         "each frame exactly its still, over Kvo's palette, shown for 1/N second rounded to "
         "hundredths"},
        {"webp", "WebP", Kind::Clip, 60, WriteWebpClip,
         "a lossless animated WebP, each frame exactly its still"},
        {"mp4", "MP4 (H.264)", Kind::Clip, 60, KVO_VIDEO_WRITER(WriteMp4Clip),
         "H.264 video, yuv420p in BT.709's colours, limited range, each frame its still to "
         "about 40 dB (PSNR)"},
        {"webm", "WebM (VP9)", Kind::Clip, 60, KVO_VIDEO_WRITER(WriteWebmClip),
         "VP9 video, in the same colours and quality"},
    };
    return table;
}

const Format* FormatOfName(const std::string& path) {
    std::string lower = path;
    for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    for (const Format& format : Formats()) {
        const std::string end = std::string(".") + format.name;
        if (lower.size() >= end.size() && lower.compare(lower.size() - end.size(), end.size(), end) == 0)
            return &format;
    }
    return nullptr;
}

}  // namespace render
