// kvo2-render as a user meets it: the files it writes and the input it refuses.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "atomic_file.h"
#include "tool_runner.h"
#include "ukvo2.h"

namespace {

using namespace toolrunner;

TEST_F(RenderTool, WritesTheExactFrame) {
    ukvo2::BuildPath();
    ukvo2::BuildPalette();
    for (uint32_t t : {0u, 77777u, 4294967295u}) {
        const fs::path out = dir / "frame.png";
        const auto r = Run({"--time", std::to_string(t), "--out", out.string()});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");

        std::vector<uint8_t> pixels;
        std::vector<png_color> colors;
        png_uint_32 w = 0, h = 0;
        ASSERT_TRUE(ReadIndexedPng(out, pixels, colors, w, h));
        EXPECT_EQ(w, 640u);
        EXPECT_EQ(h, 480u);
        ukvo2::RenderFrameAt(t);
        EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), ukvo2::Pixels)) << t;
        ASSERT_EQ(colors.size(), 256u);
        for (int i = 0; i < 256; ++i) {
            EXPECT_EQ(colors[i].red, ukvo2::Palette[i].red);
            EXPECT_EQ(colors[i].green, ukvo2::Palette[i].green);
            EXPECT_EQ(colors[i].blue, ukvo2::Palette[i].blue);
        }
        EXPECT_EQ(Entries(), std::vector<std::string>{"frame.png"});  // no temporary left
    }
    // The same reading gives the same bytes, in either option form.
    const auto a = Run({"--time", "512", "--out", (dir / "a.png").string()});
    const auto b = Run({"--out=" + (dir / "b.png").string(), "--time=512"});
    ASSERT_EQ(a.status, 0);
    ASSERT_EQ(b.status, 0);
    EXPECT_EQ(ReadAll(dir / "a.png"), ReadAll(dir / "b.png"));
}

TEST_F(RenderTool, NeedsNoDisplay) {
    // The environment of the run: no X display, no Wayland.
    std::vector<std::pair<const char*, std::string>> saved;
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"})
        if (const char* value = std::getenv(name)) saved.emplace_back(name, value);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    const auto r = Run({"--time", "0", "--out", (dir / "f.png").string()});
    for (const auto& [name, value] : saved) setenv(name, value.c_str(), 1);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(Entries(), std::vector<std::string>{"f.png"});
}

TEST_F(RenderTool, NewFilesFollowTheUmask) {
    const mode_t old = umask(022);
    const auto r = Run({"--time", "0", "--out", (dir / "f.png").string()});
    umask(old);
    ASSERT_EQ(r.status, 0);
    struct stat st;
    ASSERT_EQ(stat((dir / "f.png").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST_F(RenderTool, HelpExplainsAndSucceeds) {
    const auto r = Run({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("--time MS"), std::string::npos);
    EXPECT_NE(r.out.find("--from A --to B --fps N"), std::string::npos);
    EXPECT_NE(r.out.find("4294967295"), std::string::npos);
    EXPECT_EQ(r.err, "");
}

TEST_F(RenderTool, RefusesBadInputWithOneLineAndNoFile) {
    const std::string out = (dir / "f.png").string();
    const std::string gif = (dir / "f.gif").string();
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--time", "5"},
        {"--out", out},
        {"--time"},
        {"--time", "5", "--out"},
        {"--time", "abc", "--out", out},
        {"--time", "-1", "--out", out},
        {"--time", "+5", "--out", out},
        {"--time", "1.5", "--out", out},
        {"--time", " 5", "--out", out},
        {"--time", "", "--out", out},
        {"--time", "4294967296", "--out", out},
        {"--time", "99999999999999999999", "--out", out},
        {"--time", "5", "--time", "6", "--out", out},
        {"--time", "5", "--out", out, "--frames", "3"},
        {"--time", "5", "--out", out, "extra"},
        {"--time", "5\n6", "--out", out},
        {"--time", "5", "--out=", out},
        {"--time", "5", "--out", dir.string() + "/no\nfolder/f.png"},
        {"--time", "5", "--out", (dir / "no-such-folder" / "f.png").string()},
        {"--time", "5", "--out", dir.string()},
        {"--time", "5", "--out", dir.string() + "/"},
        {"--time", "5", "--out", "/proc/kvo2-render-test.png"},
        // Clips: the stretch, the rate, and never a still's option with them.
        {"--from", "5", "--to", "5", "--fps", "10", "--out", gif},
        {"--from", "6", "--to", "5", "--fps", "10", "--out", gif},
        {"--from", "4294967295", "--to", "4294967295", "--fps", "1", "--out", gif},
        {"--from", "0", "--to", "1000", "--fps", "0", "--out", gif},
        {"--from", "0", "--to", "1000", "--fps", "51", "--out", gif},
        {"--from", "0", "--to", "1000", "--fps", "4294967296", "--out", gif},
        {"--from", "0", "--to", "1000", "--fps", "-5", "--out", gif},
        {"--from", "0", "--to", "1000", "--fps", "2.5", "--out", gif},
        {"--from", "0", "--to", "1000", "--fps", "ten", "--out", gif},
        {"--from", "-1", "--to", "1000", "--fps", "10", "--out", gif},
        {"--from", "x", "--to", "1000", "--fps", "10", "--out", gif},
        {"--from", "0", "--to", "4294967296", "--fps", "10", "--out", gif},
        {"--from", "0", "--to", "99999999999999999999", "--fps", "10", "--out", gif},
        {"--from", "0", "--to", "1e3", "--fps", "10", "--out", gif},
        {"--from", "0", "--to", "1000", "--out", gif},
        {"--from", "0", "--fps", "10", "--out", gif},
        {"--to", "1000", "--fps", "10", "--out", gif},
        {"--fps", "10", "--out", gif},
        {"--from", "0", "--to", "1000", "--fps", "10"},
        {"--from", "0", "--to", "1000", "--fps", "10", "--fps", "10", "--out", gif},
        {"--from", "0", "--from", "0", "--to", "1000", "--fps", "10", "--out", gif},
        {"--time", "5", "--from", "0", "--to", "1000", "--fps", "10", "--out", gif},
        {"--time", "5", "--fps", "10", "--out", out},
        {"--time", "5", "--to", "1000", "--out", out},
        {"--from=0", "--to=1000", "--fps=10", "--time=5", "--out=" + gif},
        {"--from", "0", "--to", "1000", "--fps", "10", "--out", (dir / "no-such" / "f.gif").string()},
        {"--from", "0", "--to", "1000", "--fps", "10", "--out", dir.string()},
        {"--from", "0", "--to", "1000", "--fps", "10", "--out", "/proc/kvo2-render-test.gif"},
    };
    for (const auto& args : cases) {
        std::string shown;
        for (const auto& a : args) shown += "[" + a + "]";
        const auto r = Run(args);
        EXPECT_NE(r.status, 0) << shown;
        EXPECT_EQ(r.err.rfind("kvo2-render: ", 0), 0u) << shown << ": " << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << shown << ": " << r.err;
        EXPECT_TRUE(Entries().empty()) << shown;
    }
}

TEST_F(RenderTool, ExistingFileSurvivesAFailedRun) {
    const fs::path out = dir / "keep.png";
    std::ofstream(out) << "precious";
    EXPECT_NE(Run({"--time", "x", "--out", out.string()}).status, 0);
    EXPECT_NE(Run({"--from", "9", "--to", "5", "--fps", "1", "--out", out.string()}).status, 0);
    EXPECT_EQ(ReadAll(out), "precious");
    // A writer that fails halfway leaves the old file and no temporary.
    std::string error;
    const bool ok = tools::WriteFileAtomically(
        out.string(), [](std::FILE* f) { return std::fputs("half", f) >= 0 && false; }, error);
    EXPECT_FALSE(ok);
    EXPECT_NE(error.find(out.string()), std::string::npos) << error;
    EXPECT_EQ(ReadAll(out), "precious");
    EXPECT_EQ(Entries(), std::vector<std::string>{"keep.png"});
    // A link or a pipe in the way is refused and left as it was: the new file
    // would replace the link itself, and a pipe cannot be renamed over.
    fs::create_symlink("keep.png", dir / "link.png");
    ASSERT_EQ(mkfifo((dir / "pipe.gif").c_str(), 0600), 0);
    for (const char* name : {"link.png", "pipe.gif"}) {
        const auto r = Run({"--from", "0", "--to", "100", "--fps", "10", "--out",
                            (dir / name).string()});
        EXPECT_NE(r.status, 0) << name;
        EXPECT_EQ(r.err.rfind("kvo2-render: ", 0), 0u) << r.err;
    }
    EXPECT_TRUE(fs::is_symlink(dir / "link.png"));
    EXPECT_TRUE(fs::is_fifo(dir / "pipe.gif"));
    EXPECT_EQ(ReadAll(out), "precious");
    fs::remove(dir / "link.png");
    fs::remove(dir / "pipe.gif");
    // A good run replaces it whole.
    EXPECT_EQ(Run({"--time", "1", "--out", out.string()}).status, 0);
    EXPECT_EQ(ReadAll(out).substr(1, 3), "PNG");
    EXPECT_EQ(Entries(), std::vector<std::string>{"keep.png"});
}

}  // namespace
