// The program's icon, IDI_MAIN, drawn as text: one character per pixel, rows
// from the top. Four coloured squares in a 2 x 2 grid (red, green / blue,
// yellow), each edged in black, inside a black border.
//
// Colour images use the standard 16 colours, one letter each (see
// StandardColours). The monochrome image: '#' black, '.' white.
#pragma once

#include <cstdint>

namespace icon {

struct StandardColour {
    char letter;
    uint8_t red, green, blue;
};

// The 16 colours of the standard VGA palette, in palette order.
constexpr StandardColour StandardColours[16] = {
    {'K', 0, 0, 0},       {'r', 128, 0, 0},     {'g', 0, 128, 0},     {'y', 128, 128, 0},
    {'b', 0, 0, 128},     {'m', 128, 0, 128},   {'c', 0, 128, 128},   {'L', 192, 192, 192},
    {'D', 128, 128, 128}, {'R', 255, 0, 0},     {'G', 0, 255, 0},     {'Y', 255, 255, 0},
    {'B', 0, 0, 255},     {'M', 255, 0, 255},   {'C', 0, 255, 255},   {'W', 255, 255, 255},
};

// The palette index of a colour letter; -1 for a letter that is none.
constexpr int ColourIndex(char letter) {
    for (int i = 0; i < 16; ++i)
        if (StandardColours[i].letter == letter) return i;
    return -1;
}

// 32 x 32: squares of 10 x 10, separated by double lines of light (L) and
// dark (D) grey.
constexpr const char* Colour32[32] = {
    "KKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKK",
    "KLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLK",
    "KDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDK",
    "KLDKKKKKKKKKKKKLDKKKKKKKKKKKKLDK",
    "KLDKRRRRRRRRRRKLDKGGGGGGGGGGKLDK",
    "KLDKRRRRRRRRRRKLDKGGGGGGGGGGKLDK",
    "KLDKRRRRRRRRRRKLDKGGGGGGGGGGKLDK",
    "KLDKRRRRRRRRRRKLDKGGGGGGGGGGKLDK",
    "KLDKRRRRRRRRRRKLDKGGGGGGGGGGKLDK",
    "KLDKRRRRRRRRRRKLDKGGGGGGGGGGKLDK",
    "KLDKRRRRRRRRRRKLDKGGGGGGGGGGKLDK",
    "KLDKRRRRRRRRRRKLDKGGGGGGGGGGKLDK",
    "KLDKRRRRRRRRRRKLDKGGGGGGGGGGKLDK",
    "KLDKRRRRRRRRRRKLDKGGGGGGGGGGKLDK",
    "KLDKKKKKKKKKKKKLDKKKKKKKKKKKKLDK",
    "KLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLK",
    "KDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDK",
    "KLDKKKKKKKKKKKKLDKKKKKKKKKKKKLDK",
    "KLDKBBBBBBBBBBKLDKYYYYYYYYYYKLDK",
    "KLDKBBBBBBBBBBKLDKYYYYYYYYYYKLDK",
    "KLDKBBBBBBBBBBKLDKYYYYYYYYYYKLDK",
    "KLDKBBBBBBBBBBKLDKYYYYYYYYYYKLDK",
    "KLDKBBBBBBBBBBKLDKYYYYYYYYYYKLDK",
    "KLDKBBBBBBBBBBKLDKYYYYYYYYYYKLDK",
    "KLDKBBBBBBBBBBKLDKYYYYYYYYYYKLDK",
    "KLDKBBBBBBBBBBKLDKYYYYYYYYYYKLDK",
    "KLDKBBBBBBBBBBKLDKYYYYYYYYYYKLDK",
    "KLDKBBBBBBBBBBKLDKYYYYYYYYYYKLDK",
    "KLDKKKKKKKKKKKKLDKKKKKKKKKKKKLDK",
    "KLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLK",
    "KDDDDDDDDDDDDDDDDDDDDDDDDDDDDDDK",
    "KKKKKKKKKKKKKKKKKKKKKKKKKKKKKKKK",
};

// 16 x 16: squares of 5 x 5, separated by black and dark grey lines only.
constexpr const char* Colour16[16] = {
    "KKKKKKKKKKKKKKKK",
    "KDDDDDDKDDDDDDDK",
    "KDRRRRRKDGGGGGDK",
    "KDRRRRRKDGGGGGDK",
    "KDRRRRRKDGGGGGDK",
    "KDRRRRRKDGGGGGDK",
    "KDRRRRRKDGGGGGDK",
    "KKKKKKKKKKKKKKKK",
    "KDDDDDDKDDDDDDDK",
    "KDBBBBBKDYYYYYDK",
    "KDBBBBBKDYYYYYDK",
    "KDBBBBBKDYYYYYDK",
    "KDBBBBBKDYYYYYDK",
    "KDBBBBBKDYYYYYDK",
    "KDDDDDDKDDDDDDDK",
    "KKKKKKKKKKKKKKKK",
};

// 32 x 32 monochrome: the same grid, the squares in four dot patterns.
constexpr const char* Mono32[32] = {
    "################################",
    "#..............................#",
    "#..............................#",
    "#..############..############..#",
    "#..##.#.#.#.#.#..#..........#..#",
    "#..#.#.#.#.#.##..#.#.#.#.#.##..#",
    "#..##.#.#.#.#.#..#..........#..#",
    "#..#.#.#.#.#.##..#.#.#.#.#.##..#",
    "#..##.#.#.#.#.#..#..........#..#",
    "#..#.#.#.#.#.##..#.#.#.#.#.##..#",
    "#..##.#.#.#.#.#..#..........#..#",
    "#..#.#.#.#.#.##..#.#.#.#.#.##..#",
    "#..##.#.#.#.#.#..#..........#..#",
    "#..#.#.#.#.#.##..#.#.#.#.#.##..#",
    "#..############..############..#",
    "#..............................#",
    "#..............................#",
    "#..############..############..#",
    "#..#..........#..############..#",
    "#..#.#..#..#..#..##.##.##.###..#",
    "#..#..........#..############..#",
    "#..#..........#..############..#",
    "#..#.#..#..#..#..##.##.##.###..#",
    "#..#..........#..############..#",
    "#..#..........#..############..#",
    "#..#.#..#..#..#..##.##.##.###..#",
    "#..#..........#..############..#",
    "#..#..........#..############..#",
    "#..############..############..#",
    "#..............................#",
    "#..............................#",
    "################################",
};

}  // namespace icon
