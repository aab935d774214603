// icongen: writes the program's icon from its text drawing (icon_art.h).
// Runs on the build machine.
//
//   icongen OUT.ico        the Windows icon file: a 32 x 32 and a 16 x 16 image
//                          in the standard 16 colours and a 32 x 32 monochrome
//                          image, in that order
//   icongen SIZE OUT.png   the colour drawing at SIZE pixels (a multiple of 16
//                          up to 256) as an indexed PNG whose colour table is
//                          the standard 16 colours: the 32-pixel drawing with
//                          each pixel a square of SIZE/32 where that is whole,
//                          else the 16-pixel one with squares of SIZE/16
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "atomic_file.h"
#include "icon_art.h"
#include "png_image.h"
#include "present.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(Bytes& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// Bytes in one bitmap row of `width` pixels of `bits` each, padded to 4.
uint32_t RowBytes(int width, int bits) { return (static_cast<uint32_t>(width * bits) + 31) / 32 * 4; }

// The value of one pixel of a drawing: a palette index, or -1 for a
// character that the drawing's legend does not know.
int PixelValue(char c, bool mono) {
    if (mono) return c == '#' ? 0 : c == '.' ? 1 : -1;
    return icon::ColourIndex(c);
}

// One icon image: its header, colour table, colour bitmap (rows from the
// bottom up) and an all-opaque mask. Empty when the drawing is malformed.
Bytes Image(const char* const* rows, int size, bool mono) {
    const int bits = mono ? 1 : 4;
    Bytes out;
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(size));
    Put32(out, static_cast<uint32_t>(size * 2));  // colour bitmap and mask
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(bits));
    Put32(out, 0);  // BI_RGB
    const uint32_t colourBytes = RowBytes(size, bits) * static_cast<uint32_t>(size);
    const uint32_t maskBytes = RowBytes(size, 1) * static_cast<uint32_t>(size);
    Put32(out, colourBytes + maskBytes);
    for (int i = 0; i < 4; ++i) Put32(out, 0);
    if (mono) {
        Put32(out, 0x000000);
        Put32(out, 0xFFFFFF);
    } else {
        for (const auto& c : icon::StandardColours)
            Put32(out, gdi8::Argb(c.red, c.green, c.blue, 0));
    }
    for (int y = size - 1; y >= 0; --y) {
        if (std::strlen(rows[y]) != static_cast<size_t>(size)) return {};
        Bytes row(RowBytes(size, bits), 0);
        for (int x = 0; x < size; ++x) {
            const int v = PixelValue(rows[y][x], mono);
            if (v < 0) return {};
            const int bit = x * bits;
            row[bit / 8] |= static_cast<uint8_t>(v << (8 - bits - bit % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    out.insert(out.end(), maskBytes, 0);
    return out;
}

// A colour drawing `size` pixels wide, each pixel made a square of `scale`
// x `scale` (sharp: no pixel between two colours), as the rows of an
// indexed image. Empty when the drawing is malformed.
Bytes Indices(const char* const* rows, int size, int scale) {
    Bytes pixels;
    for (int y = 0; y < size * scale; ++y) {
        const char* row = rows[y / scale];
        if (std::strlen(row) != static_cast<size_t>(size)) return {};
        for (int x = 0; x < size * scale; ++x) {
            const int v = PixelValue(row[x / scale], false);
            if (v < 0) return {};
            pixels.push_back(static_cast<uint8_t>(v));
        }
    }
    return pixels;
}

// The side of a PNG icon: a multiple of 16 up to 256; 0 for anything else.
int Side(const std::string& text) {
    if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    const int side = std::stoi(text);
    return side > 0 && side <= 256 && side % 16 == 0 ? side : 0;
}

// Writes the file whole or not at all: a build never sees half an icon.
int WriteFile(const char* path, const std::function<bool(std::FILE*)>& write) {
    std::string error;
    if (!imageio::WriteFileAtomically(path, write, error)) {
        std::fprintf(stderr, "icongen: cannot write %s: %s\n", path, error.c_str());
        return 1;
    }
    return 0;
}

// The colour drawing at `size` pixels as an indexed PNG.
int WritePng(const std::string& size, const char* path) {
    const int side = Side(size);
    const int art = side % 32 == 0 ? 32 : 16;
    const Bytes pixels =
        side ? Indices(art == 32 ? icon::Colour32 : icon::Colour16, art, side / art) : Bytes();
    if (pixels.empty()) {
        std::fprintf(stderr, "icongen: no %s x %s PNG\n", size.c_str(), size.c_str());
        return 1;
    }
    imageio::Rgb colours[16];
    for (int i = 0; i < 16; ++i)
        colours[i] = {icon::StandardColours[i].red, icon::StandardColours[i].green,
                      icon::StandardColours[i].blue};
    return WriteFile(path, [&](std::FILE* file) {
        return imageio::WriteIndexedPng(file, pixels.data(), side, side, colours, 16);
    });
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3) return WritePng(argv[1], argv[2]);
    if (argc != 2) {
        std::fprintf(stderr, "usage: icongen OUT.ico | icongen SIZE OUT.png\n");
        return 2;
    }
    struct Entry {
        const char* const* rows;
        int size;
        bool mono;
    };
    const Entry entries[] = {{icon::Colour32, 32, false},
                             {icon::Colour16, 16, false},
                             {icon::Mono32, 32, true}};
    Bytes file;
    Put16(file, 0);
    Put16(file, 1);  // an icon, not a cursor
    Put16(file, 3);
    std::vector<Bytes> images;
    uint32_t offset = 6 + 16 * 3;
    for (const Entry& e : entries) {
        images.push_back(Image(e.rows, e.size, e.mono));
        const Bytes& image = images.back();
        if (image.empty()) {
            std::fprintf(stderr, "icongen: the %dx%d%s drawing is malformed\n", e.size, e.size,
                         e.mono ? " monochrome" : "");
            return 1;
        }
        file.push_back(static_cast<uint8_t>(e.size));
        file.push_back(static_cast<uint8_t>(e.size));
        file.push_back(e.mono ? 2 : 16);  // colours
        file.push_back(0);
        Put16(file, 1);  // planes
        Put16(file, e.mono ? 1 : 4);
        Put32(file, static_cast<uint32_t>(image.size()));
        Put32(file, offset);
        offset += static_cast<uint32_t>(image.size());
    }
    for (const Bytes& image : images) file.insert(file.end(), image.begin(), image.end());
    return WriteFile(argv[1], [&file](std::FILE* out) {
        return std::fwrite(file.data(), 1, file.size(), out) == file.size();
    });
}
