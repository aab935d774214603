#include "png_image.h"

#include <png.h>

#include <csetjmp>

namespace imageio {

namespace {

// libpng's own handlers print to stderr; the caller reports the failure in
// its own words instead.
[[noreturn]] void SilentError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void SilentWarning(png_structp, png_const_charp) {}

}  // namespace

bool WriteIndexedPng(std::FILE* file, const uint8_t* pixels, int32_t width, int32_t height,
                     const Rgb* colours, int count) {
    if (count < 1 || count > 256) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, SilentError, SilentWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_color table[256];
    for (int i = 0; i < count; ++i) table[i] = {colours[i].red, colours[i].green, colours[i].blue};
    png_set_PLTE(png, info, table, count);
    png_write_info(png, info);
    for (int32_t row = 0; row < height; ++row) {
        png_write_row(png, pixels + static_cast<size_t>(row) * static_cast<size_t>(width));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace imageio
