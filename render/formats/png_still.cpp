#include "png_still.h"

#include "options.h"
#include "png_image.h"
#include "frame.h"
#include "palette.h"

namespace render {

bool WritePngStill(std::FILE* file, const RenderOptions& options) {
    ukvo2::RenderFrameAt(options.time);
    imageio::Rgb colours[256];
    for (int i = 0; i < 256; ++i)
        colours[i] = {ukvo2::Palette[i].red, ukvo2::Palette[i].green, ukvo2::Palette[i].blue};
    return imageio::WriteIndexedPng(file, ukvo2::Pixels, ukvo2::Width, ukvo2::Height, colours,
                                    256);
}

}  // namespace render
