// The formats kvo2-render writes, one row each. The option parser, the help,
// main's dispatch, the tests and the fuzz target all read this table, and
// CMake reads its rows for the package's description, the manual page's
// summary, the metainfo and the fuzzer's dictionary (cmake/KvoFormats.cmake),
// so a new format is its writer plus one row (and, by hand, a row in
// README.md's table of clips, which a unit test holds to this one).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "palette.h"

namespace render {

struct RenderOptions;

// Writes what accepted options ask for into `file`, in the colours of
// `palette`: a still's reading, or a clip's stretch, rate and threads (0:
// every core). Needs BuildPath. Returns false, with errno telling why where the system knows,
// if the encoder or the stream fails.
using Writer = bool (*)(std::FILE* file, const RenderOptions& options,
                       const ukvo2::PaletteEntry (&palette)[256]);

enum class Kind { Still, Clip };

struct Format {
    const char* name;   // the end of the file's name after the dot, in lower case
    const char* title;  // the format as prose names it: "WebP", "MP4 (H.264)"
    Kind kind;          // a still (--time) or a clip (--from, --to, --fps)
    uint32_t maxFps;    // a clip's highest rate; 0 for a still
    Writer write;       // null where this build lacks the format (video without KVO_VIDEO)
    const char* about;  // what --help says of the file, after "FILE.name: "
};

// Every format, the stills first, in the order the texts list them. The
// video formats are rows in every build, without a writer in a build
// without video.
const std::vector<Format>& Formats();

// The row whose name ends `path` after a dot, in any case; null for none.
const Format* FormatOfName(const std::string& path);

}  // namespace render
