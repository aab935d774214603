// The window icon for platforms without icon resources, from the same
// drawing as the resource IDI_MAIN.
#include "gdi8.h"
#include "icon_art.h"

namespace gdi8 {
namespace {

struct Icon {
    uint32_t pixels[32 * 32];
};

constexpr Icon Draw() {
    Icon image{};
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const icon::StandardColour& c =
                icon::StandardColours[icon::ColourIndex(icon::Colour32[y][x])];
            image.pixels[y * 32 + x] = 0xFF000000u | static_cast<uint32_t>(c.red) << 16 |
                                       static_cast<uint32_t>(c.green) << 8 | c.blue;
        }
    return image;
}

constexpr Icon Drawn = Draw();

}  // namespace

const uint32_t* const MainIcon = Drawn.pixels;

}  // namespace gdi8
