// kvo2-render as a user meets it: stills and clips decoded by libpng, giflib and libwebp;
// refused input, full disks, file-size limits and interrupts; the clip's arithmetic and bar.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <png.h>
#include <webp/demux.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "atomic_file.h"
#include "clip_frames.h"
#include "format_table.h"
#include "gif_image.h"
#include "options.h"
#include "progress_bar.h"
#include "frame.h"
#include "palette.h"
#include "path.h"

namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

std::string ReadFile(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

Names Entries(const fs::path& dir) {
    Names names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<uint8_t> FrameAt(uint32_t t) {
    ukvo2::RenderFrameAt(t);
    return {ukvo2::Pixels, ukvo2::Pixels + ukvo2::FrameBytes};
}

std::vector<uint8_t> PaletteRgb() {
    std::vector<uint8_t> rgb;
    for (const auto& e : ukvo2::Palette) rgb.insert(rgb.end(), {e.red, e.green, e.blue});
    return rgb;
}

// The formats this build writes, as a refusal of a file name ends: per kind, in the table's order.
std::string Listed() {
    std::string list = ";";
    for (const render::Kind kind : {render::Kind::Still, render::Kind::Clip}) {
        std::vector<std::string> names;
        for (const render::Format& f : render::Formats())
            if (f.kind == kind && f.write) names.push_back((names.empty() ? " FILE." : ".") + std::string(f.name));
        for (size_t k = 0; k < names.size(); ++k)
            list += (k == 0 ? (kind == render::Kind::Still ? " write" : ";") : k + 1 < names.size() ? ", " : " or ") +
                    names[k];
        list += kind == render::Kind::Still ? " for a still" : " for a clip\n";
    }
    return list;
}

// A GIF clip as one encoder writes it, frame after frame on this thread.
std::string OneEncoderGif(uint32_t from, uint32_t to, uint32_t fps) {
    std::FILE* file = std::tmpfile();
    GifFileType* gif = file ? render::BeginGif(file, ukvo2::Width, ukvo2::Height, ukvo2::Palette) : nullptr;
    for (uint64_t i = 0; gif && i < render::ClipFrameCount(from, to, fps); ++i) {
        std::vector<uint8_t> pixels = FrameAt(render::ClipFrameTime(from, fps, i));
        EXPECT_TRUE(render::AddGifFrame(gif, pixels.data(), render::ClipFrameDelay(fps)));
    }
    EXPECT_TRUE(gif && render::EndGif(gif));
    std::string bytes(file ? static_cast<size_t>(std::ftell(file)) : 0, '\0');
    if (file && (std::fseek(file, 0, SEEK_SET) != 0 || std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size()))
        bytes.clear();
    if (file) std::fclose(file);
    return bytes;
}

struct Result {
    int status;  // 128 + the signal when killed
    std::string out, err;
};

// The program's own lines of stderr, without a coverage build's "libgcov profiling error:...".
std::string OwnLines(const std::string& err) {
#ifdef KVO_COVERAGE
    std::istringstream lines(err);
    std::string own, line;
    while (std::getline(lines, line))
        if (line.rfind("libgcov profiling error:", 0) != 0) own += line + "\n";
    return own;
#else
    return err;
#endif
}

// A refusal: a non-zero status and one line on stderr that starts with `start`.
void ExpectRefused(const Result& r, const std::string& start, const std::string& what) {
    const std::string err = OwnLines(r.err);
    EXPECT_NE(r.status, 0) << what;
    EXPECT_EQ(err.rfind(start, 0), 0u) << what << ": " << r.err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << what << ": " << r.err;
}

// Each test gets a fresh folder, $D to the shell, where $R is kvo2-render.
class Render : public ::testing::Test {
  protected:
    fs::path dir;
    void SetUp() override {
        char pattern[] = "/tmp/kvo2-render-test.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        setenv("D", pattern, 1);
        setenv("R", KVO2_RENDER, 1);
        ukvo2::BuildPath();
        ukvo2::BuildPalette();
    }
    void TearDown() override { fs::remove_all(dir); }

    Result Sh(const std::string& script) {
        const std::string out = dir.string() + ".out", err = dir.string() + ".err";
        const int raw = std::system(("(" + script + ") >" + out + " 2>" + err).c_str());
        Result r{WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw), ReadFile(out), ReadFile(err)};
        fs::remove(out);
        fs::remove(err);
        return r;
    }

    // Writes $D/name silently; it must be the folder's only entry.
    void Write(const std::string& args, const std::string& name) {
        const auto r = Sh("$R " + args + " --out $D/" + name);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out + r.err, "");
        EXPECT_EQ(Entries(dir), Names{name});
    }
};

TEST_F(Render, StillIsTheFrameAsAnIndexedPng) {
    for (uint32_t t : {0u, 77777u, 4294967295u}) {
        // No display needed; the file follows the umask; stdin closed, it may get descriptor 0.
        const auto r = Sh("umask 022; env -u DISPLAY -u WAYLAND_DISPLAY $R --time " + std::to_string(t) +
                          " --out $D/f.png <&-");
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out + r.err, "");
        EXPECT_EQ(Entries(dir), Names{"f.png"});  // no temporary left
        EXPECT_EQ(fs::status(dir / "f.png").permissions(), fs::perms(0644));
        png_image png{};
        png.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_file(&png, (dir / "f.png").c_str()));
        EXPECT_TRUE(png.format & PNG_FORMAT_FLAG_COLORMAP);
        EXPECT_EQ(png.width * 10000 + png.height, 640u * 10000 + 480);
        png.format = PNG_FORMAT_RGB_COLORMAP;
        std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(png)), colours(PNG_IMAGE_COLORMAP_SIZE(png));
        ASSERT_TRUE(png_image_finish_read(&png, nullptr, pixels.data(), 0, colours.data()));
        EXPECT_EQ(pixels, FrameAt(t)) << t;
        EXPECT_EQ(colours, PaletteRgb());
    }
    // The other option form gives the same bytes.
    EXPECT_EQ(Sh("$R --out=$D/g.png --time=4294967295").status, 0);
    EXPECT_EQ(ReadFile(dir / "g.png"), ReadFile(dir / "f.png"));
    // --version, wherever it stands, and nothing else.
    for (const char* args : {"--version", "--time 5 --version --out x.png"}) {
        const auto version = Sh(std::string("$R ") + args);
        EXPECT_EQ(version.status, 0) << args;
        EXPECT_EQ(version.out, "kvo2-render " KVO_VERSION "\n") << args;
        EXPECT_EQ(version.err, "") << args;
    }
    const auto help = Sh("$R --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--from A --to B --fps N"), std::string::npos);
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(Sh("$R --time 5 -h").out, help.out);
    // Fits 80 columns, the usage 76; the usage names what this build writes, --fps the highest rate.
    const std::string usage = help.out.substr(0, help.out.find("\n\n"));
    std::istringstream lines(help.out), usageLines(usage);
    for (std::string line; std::getline(lines, line);) EXPECT_LT(line.size(), 80u) << line;
    for (std::string line; std::getline(usageLines, line);) EXPECT_LE(line.size(), 76u) << line;
    uint32_t most = 0;
    for (const render::Format& f : render::Formats()) {
        most = std::max(most, f.maxFps);
        EXPECT_EQ(usage.find(std::string("FILE.") + f.name) != std::string::npos, f.write != nullptr) << f.name;
    }
    EXPECT_NE(help.out.find("--fps N       frames per second of the clip, 1 to " + std::to_string(most)),
              std::string::npos);
}

// The listings beside the program: CMake's reading of the rows (for the package's description,
// the manual page, the metainfo, the fuzzer's dictionary); README.md's stills and clip rows.
TEST(FormatTable, ListingsFollowTheTable) {
    const std::string readme = ReadFile(KVO_README);
    std::string rows, clips, listed;
    for (const render::Format& f : render::Formats()) {
        const bool clip = f.kind == render::Kind::Clip;
        rows += std::string(rows.empty() ? "" : ",") + f.name + ":" + f.title + (clip ? ":clip:" : ":still:") +
                std::to_string(f.maxFps) + (f.write ? ":1" : ":0");
        if (clip) clips += std::string(" ") + f.name;
        EXPECT_TRUE(clip || readme.find(std::string("`.") + f.name + "`") != std::string::npos)
            << "README.md does not name the still ." << f.name;
    }
    EXPECT_EQ(KVO_FORMAT_ROWS, rows) << "cmake/KvoFormats.cmake misreads render/format_table.cpp";
    for (size_t at = readme.find("\n| `."); at != std::string::npos; at = readme.find("\n| `.", at + 1))
        listed += " " + readme.substr(at + 5, readme.find('`', at + 5) - at - 5);
    EXPECT_EQ(listed, clips) << "README.md's table of clips must list render/format_table.cpp's clips";
}

TEST_F(Render, ClipHoldsTheStillsAtItsReadingsAndLoops) {
    const struct { const char* args; std::vector<uint32_t> times; int delay; } cases[] = {
        {"--from 149800 --to 150300 --fps 8", {149800, 149925, 150050, 150175}, 12},  // the loop's end
        {"--from 4294967000 --to 4294967295 --fps 7", {4294967000u, 4294967142u, 4294967285u}, 14},
        {"--from 0 --to 41 --fps 50 --threads 1", {0, 20, 40}, 2},
        {"--fps=40 --to=105 --from=5", {5, 30, 55, 80}, 2},
        {"--from 1000 --to 1001 --fps 1 --threads 64", {1000}, 100},
        {"--from 60000 --to 60600 --fps 20 --threads 5", {60000, 60050, 60100, 60150, 60200, 60250,
                                                          60300, 60350, 60400, 60450, 60500, 60550}, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        ASSERT_NO_FATAL_FAILURE(Write(c.args, "clip.gif"));
        EXPECT_EQ(ReadFile(dir / "clip.gif").substr(0, 6), "GIF89a");
        int error = 0;
        GifFileType* gif = DGifOpenFileName((dir / "clip.gif").c_str(), &error);
        ASSERT_TRUE(gif && DGifSlurp(gif) == GIF_OK) << error;
        EXPECT_EQ(gif->SWidth * 10000 + gif->SHeight, 640 * 10000 + 480);
        ASSERT_TRUE(gif->SColorMap && gif->SColorMap->ColorCount == 256);
        EXPECT_EQ(gif->SColorResolution, 8);  // 8 bits a primary in the palette
        const auto* colours = reinterpret_cast<const uint8_t*>(gif->SColorMap->Colors);
        EXPECT_EQ(std::vector<uint8_t>(colours, colours + 768), PaletteRgb());
        ASSERT_EQ(gif->ImageCount, static_cast<int>(c.times.size()));
        // Before the first frame: NETSCAPE2.0, sub-block 1, loop count 0 (for ever).
        const SavedImage& first = gif->SavedImages[0];
        std::string blocks;
        for (int i = 0; i < first.ExtensionBlockCount; ++i)
            blocks += std::to_string(first.ExtensionBlocks[i].Function) + ":" +
                      std::string(reinterpret_cast<char*>(first.ExtensionBlocks[i].Bytes),
                                  first.ExtensionBlocks[i].ByteCount) + "|";
        EXPECT_EQ(blocks.find("255:NETSCAPE2.0|0:" + std::string("\1\0\0|", 4)), 0u) << blocks;
        for (int k = 0; k < gif->ImageCount; ++k) {
            const SavedImage& f = gif->SavedImages[k];
            GraphicsControlBlock control{};
            EXPECT_EQ(DGifSavedExtensionToGCB(gif, k, &control), GIF_OK);
            EXPECT_EQ(control.DelayTime, c.delay);
            EXPECT_EQ(control.TransparentColor, NO_TRANSPARENT_COLOR);
            EXPECT_LE(control.DisposalMode, DISPOSE_DO_NOT);  // left in place
            const GifImageDesc& d = f.ImageDesc;
            EXPECT_TRUE(!d.Left && !d.Top && d.Width == 640 && d.Height == 480 && !d.Interlace && !d.ColorMap);
            EXPECT_TRUE(std::equal(f.RasterBits, f.RasterBits + ukvo2::FrameBytes, FrameAt(c.times[k]).begin()))
                << "frame " << k;
        }
        DGifCloseFile(gif, &error);
        fs::remove(dir / "clip.gif");
    }
    // On any number of threads, one encoder's bytes; more frames than the threads have slots, too.
    const struct { const char* args; uint32_t from, to, fps; } runs[] = {
        {"--from 77000 --to 77300 --fps 10 --threads 1", 77000, 77300, 10},
        {"--fps=10 --to=77300 --from=77000 --threads=3", 77000, 77300, 10},
        {"--from 5 --to 605 --fps 25 --threads 2", 5, 605, 25},
        {"--from 5 --to 605 --fps 25", 5, 605, 25},
    };
    for (const auto& run : runs) {
        ASSERT_EQ(Sh(std::string("$R ") + run.args + " --out $D/a.GIF").status, 0) << run.args;
        EXPECT_TRUE(ReadFile(dir / "a.GIF") == OneEncoderGif(run.from, run.to, run.fps)) << run.args;
    }
}

TEST_F(Render, WebpClipIsLosslessAndKeepsTheRate) {
    const struct { const char* args; uint32_t from, fps; int count; } cases[] = {
        {"--from 149800 --to 150300 --fps 8", 149800, 8, 4},  // the loop's end
        {"--from 5 --to 100 --fps 60 --threads 7", 5, 60, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        ASSERT_NO_FATAL_FAILURE(Write(c.args, "clip.webp"));
        const std::string bytes = ReadFile(dir / "clip.webp");
        const WebPData data{reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
        WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, nullptr);  // RGBA
        WebPAnimInfo info{};
        ASSERT_TRUE(decoder && WebPAnimDecoderGetInfo(decoder, &info));
        EXPECT_EQ(info.canvas_width * 10000 + info.canvas_height, 640u * 10000 + 480);
        EXPECT_EQ(info.loop_count, 0u);  // for ever
        ASSERT_EQ(info.frame_count, static_cast<uint32_t>(c.count));
        for (int k = 0; WebPAnimDecoderHasMoreFrames(decoder); ++k) {
            uint8_t* rgba = nullptr;
            int end = 0;
            ASSERT_TRUE(WebPAnimDecoderGetNext(decoder, &rgba, &end));
            EXPECT_EQ(end, (k + 1) * 1000 / static_cast<int>(c.fps)) << k;  // the next frame's reading
            const auto still = FrameAt(c.from + k * 1000 / c.fps);
            const auto rgb = PaletteRgb();
            int wrong = 0;
            for (size_t n = 0; n < still.size(); ++n)
                wrong += std::memcmp(rgba + 4 * n, &rgb[3 * still[n]], 3) != 0 || rgba[4 * n + 3] != 255;
            EXPECT_EQ(wrong, 0) << "frame " << k;
        }
        WebPAnimDecoderDelete(decoder);
        fs::remove(dir / "clip.webp");
    }
}

TEST_F(Render, RefusesBadInputWithOneLineAndTouchesNoFile) {
    // An existing file, a link to it and a pipe in the folder: none may change.
    std::ofstream(dir / "keep.png") << "precious";
    fs::create_symlink("keep.png", dir / "link.png");
    ASSERT_EQ(mkfifo((dir / "pipe.gif").c_str(), 0600), 0);
    // $O is --out and a new still, $C a new clip.
    setenv("O", ("--out " + (dir / "f.png").string()).c_str(), 1);
    setenv("C", ("--out " + (dir / "f.gif").string()).c_str(), 1);
    const char* cases[] = {
        "", "--time 5", "$O", "--time", "--time 5 --out", "--time abc $O", "--time -1 $O", "--time +5 $O",
        "--time 1.5 $O", "--time ' 5' $O", "--time '' $O", "--time 4294967296 $O", "--time 42949672950 $O",
        "--time 5 --time 6 $O", "--time 5 $O --frames 3", "--time 5 $O extra", "--time x --out $D/keep.png",
        "--time 5 --out $D/no-such-folder/f.png", "--time 5 --out $D", "--time 5 --out $D/",
        "--time 5 --out /proc/kvo2-render-test.png", "--time 5 --out $D/link.png", "--time 5 --out $D/pipe.gif",
        "--time '5\n6' $O", "--time 5 --out \"$D/no\nfolder/f.png\"", "--time 5 --out= $D/f.png",
        // One short option, standing alone; --help and --version take no value.
        "-h-version", "-hh", "--time 5 $O -hx", "--version=1", "--help=true",
        // Clips: the stretch, the rate, the threads, and never a still's option with them.
        "--from 5 --to 5 --fps 10 $C", "--from 6 --to 5 --fps 10 $C", "--from 9 --to 5 --fps 1 --out $D/keep.png",
        "--from 4294967295 --to 4294967295 --fps 1 $C", "--from 0 --to 1000 --fps 0 $C",
        "--from 0 --to 1000 --fps 51 $C", "--from 0 --to 1000 --fps 61 --out $D/f.webp",
        "--from 0 --to 1000 --fps ten $C", "--from x --to 1000 --fps 10 $C", "--from 0 --to 4294967296 --fps 10 $C",
        "--from 0 --to 1e3 --fps 10 $C", "--from 0 --to 1000 $C", "--from 0 --fps 10 $C",
        "--to 1000 --fps 10 $C", "--fps 10 $C", "--from 0 --to 1000 --fps 10", "--from 0 --to 1 --fps 1 --fps 1 $C",
        "--from 0 --from 0 --to 1000 --fps 10 $C", "--time 5 --from 0 --to 1000 --fps 10 $C", "--time 5 --fps 10 $O",
        "--time 5 --to 1000 $O", "--from=0 --to=1000 --fps=10 --time=5 --out=$D/f.gif", "--time 5 --threads 2 $O",
        "--threads 2 $C", "--from 0 --to 9 --fps 10 --threads 0 $C", "--from 0 --to 9 --fps 10 --threads 65 $C",
        "--from 0 --to 1000 --fps 10 --out $D/no-such/f.gif", "--from 0 --to 1000 --fps 10 --out $D",
        "--from 0 --to 1000 --fps 10 --out /proc/kvo2-render-test.gif", "--from 0 --to 100 --fps 10 --out $D/pipe.gif",
#ifdef KVO_VIDEO
        "--from 0 --to 1000 --fps 61 --out $D/f.mp4", "--from 0 --to 1000 --fps 61 --out $D/f.webm",
#endif
    };
    // The file's name: the formats are named in the one line.
    const char* names[] = {
        "--time 5 --out $D/f.gif", "--time 5 --out $D/f.webm", "--from 0 --to 100 --fps 10 $O",
        "--from 0 --to 100 --fps 10 --out $D/link.png", "--time 5 --out $D/f.jpg", "--time 5 --out $D/png",
        "--from 0 --to 100 --fps 10 --out $D/f.gif.part", "--time 5 --out $D/f.png/",
#ifndef KVO_VIDEO
        "--from 0 --to 100 --fps 10 --out $D/f.mp4", "--from 0 --to 100 --fps 10 --out $D/f.WEBM",
#endif
    };
    for (const char* args : cases) {
        ExpectRefused(Sh(std::string("$R ") + args), "kvo2-render: ", args);
        EXPECT_EQ(Entries(dir), (Names{"keep.png", "link.png", "pipe.gif"})) << args;
    }
    for (const char* args : names) {
        const auto r = Sh(std::string("$R ") + args);
        ExpectRefused(r, "kvo2-render: --out ", args);
        const std::string listed = Listed();
        EXPECT_TRUE(r.err.size() > listed.size() && r.err.substr(r.err.size() - listed.size()) == listed) << r.err;
        EXPECT_EQ(Entries(dir), (Names{"keep.png", "link.png", "pipe.gif"})) << args;
    }
    EXPECT_EQ(ReadFile(dir / "keep.png"), "precious");
    EXPECT_TRUE(fs::is_symlink(dir / "link.png") && fs::is_fifo(dir / "pipe.gif"));
    // A writer that fails halfway, with no reason of its own (an I/O error), leaves the old file.
    std::string error;
    EXPECT_FALSE(imageio::WriteFileAtomically(
        (dir / "keep.png").string(), [](std::FILE* f) { return std::fputs("half", f) >= 0 && false; }, error));
    EXPECT_NE(error.find((dir / "keep.png").string() + ": Input/output error"), std::string::npos) << error;
    EXPECT_EQ(ReadFile(dir / "keep.png"), "precious");
    // A folder made at the file's place while it is written: the write fails whole.
    const fs::path taken = dir / "taken.png";
    EXPECT_FALSE(imageio::WriteFileAtomically(
        taken.string(), [&](std::FILE* f) { return fs::create_directories(taken / "in") && std::fputs("x", f) >= 0; },
        error));
    EXPECT_NE(error.find("taken.png: Is a directory"), std::string::npos) << error;
    fs::remove_all(taken);
    // A good run replaces it whole.
    EXPECT_EQ(Sh("$R --time 1 --out $D/keep.png").status, 0);
    EXPECT_EQ(ReadFile(dir / "keep.png").substr(1, 3), "PNG");
    EXPECT_EQ(Entries(dir), (Names{"keep.png", "link.png", "pipe.gif"}));
}

// A 16 KiB file-size limit, under which a coverage build's counters would die of SIGXFSZ.
#ifdef KVO_COVERAGE
constexpr const char* FileSizeLimit = "ulimit -f 16; trap '' XFSZ; ";
#else
constexpr const char* FileSizeLimit = "ulimit -f 16; ";
#endif

TEST_F(Render, WriteFaultsAndInterruptsLeaveNoPartFile) {
    const bool video = render::FormatOfName("f.mp4")->write != nullptr;
    // A file-size limit, a full tmpfs and a read-only one (root): a still's PNG is about 100 KB.
    const struct { const char *folder, *tmpfs, *prefix, *reason; } cases[] = {
        {"big", nullptr, FileSizeLimit, "File too large"},
        {"small", "size=32k", "", "No space left on device"},
        {"ro", "size=32k", "", "Read-only file system"},
    };
    for (const auto& c : cases) {
        const fs::path folder = dir / c.folder;
        fs::create_directories(folder);
        if (c.tmpfs && mount("tmpfs", folder.c_str(), "tmpfs", 0, c.tmpfs) != 0) {
            std::printf("cannot mount a tmpfs here: no case %s\n", c.folder);
            continue;
        }
        std::ofstream(folder / "keep.png") << "precious";
        if (c.folder == std::string("ro")) mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr);
        for (const std::string name : {"new.png", "keep.png"}) {
            const auto r = Sh(c.prefix + std::string("$R --time 0 --out ") + (folder / name).string());
            ExpectRefused(r, "kvo2-render: cannot write", name);
            EXPECT_EQ(r.status, 1);
            // An existing file that cannot be written is named.
            EXPECT_NE(r.err.find((name == "keep.png" ? "keep.png: " : "") + std::string(c.reason)), std::string::npos)
                << r.err;
            EXPECT_EQ(Entries(folder), Names{"keep.png"});
            EXPECT_EQ(ReadFile(folder / "keep.png"), "precious");
        }
        if (c.tmpfs) umount(folder.c_str());
    }
    // A long clip ended by a signal once its temporary file exists.
    for (const std::string c : {"TERM gif", "HUP webp", video ? "TERM mp4" : "TERM gif"}) {
        const auto r = Sh("$R --from 0 --to 600000 --fps 50 --out $D/big/new." + c.substr(c.find(' ') + 1) +
                          " & pid=$!; for i in $(seq 100); do ls -A $D/big | grep -q '^.new' && break; "
                          "sleep 0.1; done; kill -" + c.substr(0, c.find(' ')) + " $pid; wait $pid");
        EXPECT_NE(r.status, 0) << c;
        EXPECT_EQ(Entries(dir / "big"), Names{"keep.png"}) << c;
        EXPECT_EQ(ReadFile(dir / "big" / "keep.png"), "precious") << c;
    }
    // A full disk, as every writer reports it.
    render::RenderOptions options;
    options.from = 0, options.to = 500, options.fps = 10, options.threads = 2;
    for (const render::Format& format : render::Formats()) {
        if (!format.write) continue;
        std::FILE* full = std::fopen("/dev/full", "wb");
        ASSERT_TRUE(full);
        errno = 0;
        EXPECT_FALSE(format.write(full, options, ukvo2::Palette)) << format.name;
        EXPECT_EQ(errno, ENOSPC) << format.name;
        std::fclose(full);
    }
}

TEST_F(Render, ProgressBarOnATerminalOnly) {
    for (const std::string format : {"gif", "webp", render::FormatOfName("f.webm")->write ? "webm" : "gif"}) {
        SCOPED_TRACE(format);
        // `script` gives the program a terminal; its output comes back on stdout.
        const auto r = Sh("script -qec '$R --from 0 --to 300 --fps 10 --out $D/clip." + format + "' /dev/null </dev/null");
        ASSERT_EQ(r.status, 0) << r.out;
        // Redrawn in place from the start, ending with the whole count on a line of its own.
        EXPECT_EQ(r.out.rfind("\r[", 0), 0u) << r.out;
        EXPECT_NE(r.out.find("0/3 frames"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("3/3 frames, done in"), std::string::npos) << r.out;
        EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << r.out;
        EXPECT_EQ(r.out.back(), '\n') << r.out;
        // Each redraw blanks out the rest of the line before, and no more.
        std::vector<std::string> lines;
        std::istringstream redraws(r.out.substr(1, r.out.size() - 3));  // between "\r" and "\r\n"
        for (std::string line; std::getline(redraws, line, '\r');) lines.push_back(line);
        auto text = [](const std::string& line) { return line.find_last_not_of(' ') + 1; };
        for (size_t i = 1; i < lines.size(); ++i)
            EXPECT_EQ(lines[i].size(), std::max(text(lines[i]), text(lines[i - 1]))) << r.out;
    }
}

TEST(ClipFrames, ReadingsCountsAndDelays) {
    const struct { uint32_t from, to, fps; uint64_t count; uint32_t last; } cases[] = {
        {0, 1000, 25, 25, 960}, {0, 1001, 25, 26, 1000}, {0, 1, 50, 1, 0},
        {0, 20, 50, 1, 0}, {0, 21, 50, 2, 20},  // 20 is not below 20
        {10, 343, 3, 1, 10}, {10, 344, 3, 2, 343},  // 10 + floor(1000 / 3) = 343
        {149800, 150300, 8, 4, 150175}, {4294967000u, 4294967295u, 7, 3, 4294967285u},
        {4294967294u, 4294967295u, 50, 1, 4294967294u}, {0, 4294967295u, 50, 214748365, 4294967280u},
        {0, 4294967295u, 1, 4294968, 4294967000u},
    };
    for (const auto& c : cases) {
        const uint64_t count = render::ClipFrameCount(c.from, c.to, c.fps);
        EXPECT_EQ(count, c.count) << c.from << " " << c.to << " " << c.fps;
        EXPECT_EQ(render::ClipFrameTime(c.from, c.fps, count - 1), c.last) << c.from;
        // The next reading would not be below `to`, even where it passes 2^32.
        EXPECT_GE(c.from + count * 1000 / c.fps, c.to) << c.from;
    }
    const uint16_t delays[][2] = {{1, 100}, {3, 33}, {6, 17}, {7, 14}, {8, 12}, {16, 6}, {24, 4}, {40, 2}, {50, 2}};
    for (const auto& d : delays) EXPECT_EQ(render::ClipFrameDelay(d[0]), d[1]) << d[0];
    const struct { uint64_t done, total; double elapsed; const char* line; } bars[] = {
        {0, 250, 0.0, "[                              ]  0/250 frames, estimating time left"},
        {125, 250, 10.0, "[###############               ]  125/250 frames, 0:10 left"},
        {1, 7201, 1.0, "[                              ]  1/7201 frames, 2:00:00 left"},
        {250, 250, 61.4, "[##############################]  250/250 frames, done in 1:01"},
    };
    for (const auto& b : bars) EXPECT_EQ(render::ProgressLine(b.done, b.total, b.elapsed), b.line);
}

}  // namespace
