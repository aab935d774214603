// kvo2-render: writes the frame Kvo draws at a given clock reading, or a
// looping clip of the frames over a stretch of readings, in the format that
// the file's name asks for.
#include <cstdio>
#include <string>
#include <vector>

#include "atomic_file.h"
#include "format_table.h"
#include "options.h"
#include "palette.h"
#include "path.h"

namespace {

// One line on stderr, whatever bytes the reason holds (a file name, say).
int Refuse(const std::string& reason, int status) {
    std::fprintf(stderr, "kvo2-render: %s\n", render::OneLine(reason).c_str());
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    render::RenderOptions options;
    std::string error;
    if (!render::ParseRenderOptions(args, options, error)) return Refuse(error, 2);
    if (options.help) {
        std::fputs(render::RenderHelp().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::puts("kvo2-render " KVO_VERSION);
        return 0;
    }
    // Refuse a bad path before spending time on the frames.
    if (!imageio::CheckOutputPath(options.out, error)) return Refuse(error, 1);

    ukvo2::BuildPath();
    ukvo2::BuildPalette();
    const bool ok = imageio::WriteFileAtomically(
        options.out, [&options](std::FILE* file) { return options.format->write(file, options, ukvo2::Palette); },
        error);
    return ok ? 0 : Refuse(error, 1);
}
