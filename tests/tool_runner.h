// Running kvo2-render from the tests: a fresh folder for each test, the
// program's exit status and output, and the PNG files it writes.
#pragma once

#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace toolrunner {

namespace fs = std::filesystem;

struct Result {
    int status;
    std::string out, err;
};

inline std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

inline std::string ReadAll(const fs::path& p) {
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
inline bool ReadIndexedPng(const fs::path& path, std::vector<uint8_t>& pixels,
                                  std::vector<png_color>& colors, png_uint_32& width,
                           png_uint_32& height) {
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

}  // namespace toolrunner
