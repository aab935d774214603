// A small GIF reader for the tests, written from the GIF89a format alone: it
// shares no code with the encoder whose files it checks.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace testgif {

struct Frame {
    int left = 0, top = 0, width = 0, height = 0;
    bool localTable = false;
    bool interlaced = false;      // rows are kept in the order stored
    bool hasControl = false;      // a graphic control extension came before it
    int disposal = 0;
    bool transparent = false;
    int delay = 0;                // hundredths of a second
    std::vector<uint8_t> pixels;  // width x height indices
};

struct Image {
    std::string version;          // "GIF87a" or "GIF89a"
    int width = 0, height = 0;
    int aspect = 0;
    std::vector<std::array<uint8_t, 3>> colors;  // the global table, red green blue
    int loopCount = -1;           // from NETSCAPE2.0; -1 when absent
    std::vector<Frame> frames;
};

// Decodes a whole GIF file. False, with a reason in `error`, for anything
// malformed: bad header, truncated blocks, bad LZW codes, a frame whose data
// does not hold exactly its pixels, a missing trailer or bytes after it.
bool ReadGif(const std::string& bytes, Image& image, std::string& error);

}  // namespace testgif
