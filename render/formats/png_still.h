// A still of the animation as an indexed-colour PNG.
#pragma once

#include <cstdio>

#include "palette.h"

namespace render {

struct RenderOptions;

// Writes the frame that RenderFrame draws at options.time as an 8-bit
// indexed-colour PNG whose colour table is `palette`. Needs BuildPath.
// Returns false if libpng or the stream fails.
bool WritePngStill(std::FILE* file, const RenderOptions& options,
                   const ukvo2::PaletteEntry (&palette)[256]);

}  // namespace render
