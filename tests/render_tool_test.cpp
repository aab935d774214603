// kvo2-render as a user meets it: the files it writes and the input it refuses.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "atomic_file.h"
#include "ukvo2.h"

namespace {

namespace fs = std::filesystem;

struct Result {
    int status;
    std::string out, err;
};

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string ReadAll(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

class RenderTool : public ::testing::Test {
  protected:
    fs::path dir;
    void SetUp() override {
        char pattern[] = "/tmp/kvo2-render-test.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }

    Result Run(const std::vector<std::string>& args) {
        std::string cmd = Quote(KVO2_RENDER);
        for (const auto& a : args) cmd += " " + Quote(a);
        cmd += " >" + Quote((dir / ".stdout").string()) + " 2>" + Quote((dir / ".stderr").string());
        const int raw = std::system(cmd.c_str());
        Result r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadAll(dir / ".stdout"),
                 ReadAll(dir / ".stderr")};
        fs::remove(dir / ".stdout");
        fs::remove(dir / ".stderr");
        return r;
    }

    std::vector<std::string> Entries() {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
};

// Decodes an indexed PNG into its indices and colour table.
bool ReadIndexedPng(const fs::path& path, std::vector<uint8_t>& pixels,
                    std::vector<png_color>& colors, png_uint_32& width, png_uint_32& height) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_read_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    width = png_get_image_width(png, info);
    height = png_get_image_height(png, info);
    const bool indexed = png_get_color_type(png, info) == PNG_COLOR_TYPE_PALETTE &&
                         png_get_bit_depth(png, info) == 8;
    png_colorp plte = nullptr;
    int count = 0;
    png_get_PLTE(png, info, &plte, &count);
    colors.assign(plte, plte + count);
    png_bytepp rows = png_get_rows(png, info);
    pixels.clear();
    for (png_uint_32 y = 0; y < height; ++y) pixels.insert(pixels.end(), rows[y], rows[y] + width);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    return indexed;
}

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
        ukvo2::SetClock([t] { return t; });
        ukvo2::RenderFrame();
        ukvo2::SetClock(nullptr);
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
    EXPECT_NE(r.out.find("4294967295"), std::string::npos);
    EXPECT_EQ(r.err, "");
}

TEST_F(RenderTool, RefusesBadInputWithOneLineAndNoFile) {
    const std::string out = (dir / "f.png").string();
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
        {"--time", "5", "--out", (dir / "no-such-folder" / "f.png").string()},
        {"--time", "5", "--out", dir.string()},
        {"--time", "5", "--out", dir.string() + "/"},
        {"--time", "5", "--out", "/proc/kvo2-render-test.png"},
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
    EXPECT_EQ(ReadAll(out), "precious");
    // A writer that fails halfway leaves the old file and no temporary.
    std::string error;
    const bool ok = tools::WriteFileAtomically(
        out.string(), [](std::FILE* f) { return std::fputs("half", f) >= 0 && false; }, error);
    EXPECT_FALSE(ok);
    EXPECT_NE(error.find(out.string()), std::string::npos) << error;
    EXPECT_EQ(ReadAll(out), "precious");
    EXPECT_EQ(Entries(), std::vector<std::string>{"keep.png"});
    // A good run replaces it whole.
    EXPECT_EQ(Run({"--time", "1", "--out", out.string()}).status, 0);
    EXPECT_EQ(ReadAll(out).substr(1, 3), "PNG");
    EXPECT_EQ(Entries(), std::vector<std::string>{"keep.png"});
}

}  // namespace
