// The palette: 256 colours from dark red through orange and yellow to white.
#pragma once

#include <cstdint>

namespace ukvo2 {

// One colour entry, laid out as a device-independent bitmap's colour table.
struct PaletteEntry {
    uint8_t blue, green, red, reserved;
};
static_assert(sizeof(PaletteEntry) == 4, "colour entries are 4 bytes");

// 256 entries, dark red at 0 through orange and yellow to white at 255.
// Filled by BuildPalette.
extern PaletteEntry Palette[256];

// Fills Palette. Needs no other state.
void BuildPalette();

}  // namespace ukvo2
