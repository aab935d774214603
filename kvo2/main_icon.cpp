// The window icon for platforms without icon resources, from the same
// drawing as the resource IDI_MAIN.
#include "gdi8.h"
#include "icon_art.h"
#include "present.h"

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
            image.pixels[y * 32 + x] = Argb(c.red, c.green, c.blue);
        }
    return image;
}

constexpr Icon Drawn = Draw();

}  // namespace

const uint32_t* const MainIcon = Drawn.pixels;

}  // namespace gdi8
