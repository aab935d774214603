// The palette: power curves from dark red through orange and yellow to white.
#include "extended/extended_steps.h"
#include "ukvo2.h"

namespace ukvo2 {

PaletteEntry Palette[256];

Extended Power(Extended base, Extended exponent) { return steps::Power(base, exponent); }

void BuildPalette() {
    for (int i = 0; i < 256; ++i) Palette[i] = steps::PaletteAt<Extended>(i);
}

}  // namespace ukvo2
