// The palette: power curves from dark red through orange and yellow to white.
#include <cmath>

#include "numeric.h"
#include "ukvo2.h"

namespace ukvo2 {

PaletteEntry Palette[256];

long double Power(long double base, long double exponent) {
    if (base == 0) return 0;
    return std::exp(exponent * std::log(base));
}

void BuildPalette() {
    for (int i = 0; i < 256; ++i) {
        const long double up = (i + 1) / 256.0L;  // index 0 is not black
        PaletteEntry& e = Palette[i];
        e.red = static_cast<uint8_t>(RoundToInt32(Power(up, 0.3L) * 255));
        e.green = static_cast<uint8_t>(RoundToInt32(Power(up, 0.6L) * 255));
        e.blue = static_cast<uint8_t>(RoundToInt32(Power(i / 255.0L, 10) * 255));
        e.reserved = 0;
    }
}

}  // namespace ukvo2
