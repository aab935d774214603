// icongen: writes the program's icon file from its text drawing (icon_art.h):
// a 32 x 32 and a 16 x 16 image in the standard 16 colours and a 32 x 32
// monochrome image, in that order. Runs on the build machine.
//
//   icongen OUT.ico
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "icon_art.h"

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
            Put32(out, static_cast<uint32_t>(c.blue) | c.green << 8 | c.red << 16);
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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: icongen OUT.ico\n");
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

    // Written beside the target and renamed over it: a build never sees
    // half an icon.
    const std::string temp = std::string(argv[1]) + ".tmp";
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f || std::fwrite(file.data(), 1, file.size(), f) != file.size() || std::fclose(f) != 0 ||
        std::rename(temp.c_str(), argv[1]) != 0) {
        std::fprintf(stderr, "icongen: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
