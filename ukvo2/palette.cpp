// The palette: power curves from dark red through orange and yellow to white.
#include "palette.h"

#include "extended/elementary.h"
#include "extended/extended.h"
#include "extended/numeric.h"

namespace ukvo2 {

namespace steps {

// Base raised to Exponent for Base >= 0: e^(Exponent ln Base); 0 for Base = 0.
template <typename R>
R Power(R base, R exponent) {
    if (base == R(0)) return R(0);
    return Exp(exponent * Log(base));
}

// The palette's entry i: red and green from ((i + 1) / 256)^0.3 and ^0.6,
// blue from (i / 255)^10, each times 255 and rounded.
template <typename R>
PaletteEntry PaletteAt(int i) {
    const R up = R(i + 1) / R(256);  // index 0 is not black
    PaletteEntry e{};
    e.red = static_cast<uint8_t>(RoundToInt32(Power(up, Ratio<R>(3, 10)) * R(255)));
    e.green = static_cast<uint8_t>(RoundToInt32(Power(up, Ratio<R>(6, 10)) * R(255)));
    e.blue = static_cast<uint8_t>(RoundToInt32(Power(R(i) / R(255), R(10)) * R(255)));
    return e;
}

#define KVO_PALETTE_STEPS(R)                 \
    template R Power<R>(R base, R exponent); \
    template PaletteEntry PaletteAt<R>(int i);
KVO_FOR_EACH_EXTENDED(KVO_PALETTE_STEPS)
#undef KVO_PALETTE_STEPS

}  // namespace steps

PaletteEntry Palette[256];

Extended Power(Extended base, Extended exponent) { return steps::Power(base, exponent); }

void BuildPalette() {
    for (int i = 0; i < 256; ++i) Palette[i] = steps::PaletteAt<Extended>(i);
}

}  // namespace ukvo2
