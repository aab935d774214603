#include "png_still.h"

#include <vector>

#include "options.h"
#include "png_image.h"
#include "frame.h"

namespace render {

bool WritePngStill(std::FILE* file, const RenderOptions& options,
                   const ukvo2::PaletteEntry (&palette)[256]) {
    std::vector<uint8_t> pixels(ukvo2::FrameBytes);
    ukvo2::RenderFrameAt(options.time, pixels.data());
    imageio::Rgb colours[256];
    for (int i = 0; i < 256; ++i) colours[i] = {palette[i].red, palette[i].green, palette[i].blue};
    return imageio::WriteIndexedPng(file, pixels.data(), ukvo2::Width, ukvo2::Height, colours,
                                    256);
}

}  // namespace render
