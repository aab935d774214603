// kvo2_shotcheck SHOT.ppm MIN-COLOURS: checks a screenshot of the window's
// client area (binary PPM): every pixel must be a colour of the program's
// palette (else exit status 1), and the picture must hold at least
// MIN-COLOURS different ones (else exit status 3).
#include <cstdio>
#include <cstdlib>
#include <set>
#include <vector>

#include "ukvo2.h"

namespace {

// The next number of a PPM header, skipping blanks and # comments; -1 if none.
int HeaderNumber(FILE* f) {
    int c = std::fgetc(f);
    while (c == '#' || c == ' ' || c == '\t' || c == '\r' || c == '\n') {
        if (c == '#')
            while (c != '\n' && c != EOF) c = std::fgetc(f);
        c = std::fgetc(f);
    }
    int n = -1;
    for (; c >= '0' && c <= '9'; c = std::fgetc(f)) n = (n < 0 ? 0 : n * 10) + (c - '0');
    return n;  // the one blank after the number has been read
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: kvo2_shotcheck SHOT.ppm MIN-COLOURS\n");
        return 2;
    }
    FILE* f = std::fopen(argv[1], "rb");
    const bool p6 = f && std::fgetc(f) == 'P' && std::fgetc(f) == '6';
    const int width = p6 ? HeaderNumber(f) : -1;
    const int height = p6 ? HeaderNumber(f) : -1;
    const int maxValue = p6 ? HeaderNumber(f) : -1;
    if (!p6 || width <= 0 || height <= 0 || maxValue != 255) {
        std::fprintf(stderr, "kvo2_shotcheck: %s is not an 8-bit binary PPM\n", argv[1]);
        return 2;
    }
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
    if (std::fread(rgb.data(), 1, rgb.size(), f) != rgb.size()) {
        std::fprintf(stderr, "kvo2_shotcheck: %s is cut short\n", argv[1]);
        return 2;
    }
    std::fclose(f);

    ukvo2::BuildPalette();
    std::set<long> palette;
    for (const auto& e : ukvo2::Palette) palette.insert(e.red << 16 | e.green << 8 | e.blue);
    std::set<long> seen;
    size_t foreign = 0;
    long firstForeign = -1;
    for (size_t i = 0; i < rgb.size(); i += 3) {
        const long colour = rgb[i] << 16 | rgb[i + 1] << 8 | rgb[i + 2];
        seen.insert(colour);
        if (!palette.count(colour)) {
            if (!foreign++) firstForeign = static_cast<long>(i / 3);
        }
    }
    const size_t minColours = std::strtoul(argv[2], nullptr, 10);
    std::printf("%dx%d: %zu colours, %zu pixels outside the palette", width, height, seen.size(),
                foreign);
    if (foreign) std::printf(" (first at %ld, %ld)", firstForeign % width, firstForeign / width);
    std::printf("\n");
    if (foreign) return 1;
    return seen.size() >= minColours ? 0 : 3;
}
