#include "gif_reader.h"

namespace testgif {

namespace {

struct Input {
    const std::string& bytes;
    size_t pos = 0;
    bool short_ = false;

    int Byte() {
        if (pos >= bytes.size()) {
            short_ = true;
            return 0;
        }
        return static_cast<uint8_t>(bytes[pos++]);
    }
    int Word() {
        const int low = Byte();
        return low | Byte() << 8;
    }
    // Data sub-blocks up to the empty one, joined.
    std::string SubBlocks() {
        std::string data;
        for (;;) {
            const size_t n = static_cast<size_t>(Byte());
            if (short_ || n == 0) return data;
            if (pos + n > bytes.size()) {
                short_ = true;
                return data;
            }
            data.append(bytes, pos, n);
            pos += n;
        }
    }
};

constexpr int MaxCodes = 4096;

// Variable-width LZW, least significant bit first, as GIF stores it.
bool DecodeLzw(const std::string& data, int minCodeSize, size_t count,
               std::vector<uint8_t>& out, std::string& error) {
    if (minCodeSize < 2 || minCodeSize > 8) {
        error = "bad LZW code size " + std::to_string(minCodeSize);
        return false;
    }
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    std::vector<int> prefix(MaxCodes, -1), length(MaxCodes, 1);
    std::vector<uint8_t> suffix(MaxCodes, 0);
    for (int i = 0; i < clear; ++i) suffix[i] = static_cast<uint8_t>(i);

    int codeSize = minCodeSize + 1;
    int next = end + 1;
    int prev = -1;
    size_t bit = 0;
    out.clear();
    for (;;) {
        if (bit + static_cast<size_t>(codeSize) > data.size() * 8) {
            error = "LZW data ends without an end code";
            return false;
        }
        int code = 0;
        for (int k = 0; k < codeSize; ++k, ++bit) {
            code |= (static_cast<uint8_t>(data[bit >> 3]) >> (bit & 7) & 1) << k;
        }
        if (code == clear) {
            codeSize = minCodeSize + 1;
            next = end + 1;
            prev = -1;
            continue;
        }
        if (code == end) break;
        const bool known = code < clear || (code > end && code < next);
        const bool pending = code == next && prev >= 0 && next < MaxCodes;
        if (!known && !pending) {
            error = "bad LZW code " + std::to_string(code);
            return false;
        }
        // The string of a known code; for the code being defined, the previous
        // string followed by its own first index.
        const int base = known ? code : prev;
        const size_t start = out.size();
        out.resize(start + static_cast<size_t>(length[base]) + (known ? 0 : 1));
        size_t at = start + static_cast<size_t>(length[base]);
        for (int c = base; c >= 0; c = prefix[c]) out[--at] = suffix[c];
        if (!known) out.back() = out[start];
        if (prev >= 0 && next < MaxCodes) {
            prefix[next] = prev;
            suffix[next] = out[start];
            length[next] = length[prev] + 1;
            ++next;
            if (next == 1 << codeSize && codeSize < 12) ++codeSize;
        }
        prev = code;
        if (out.size() > count) {
            error = "LZW data holds more than the frame's pixels";
            return false;
        }
    }
    if (out.size() != count) {
        error = "LZW data holds " + std::to_string(out.size()) + " pixels, not " +
                std::to_string(count);
        return false;
    }
    return true;
}

}  // namespace

bool ReadGif(const std::string& bytes, Image& image, std::string& error) {
    image = Image{};
    Input in{bytes};
    if (bytes.size() < 13) {
        error = "too short for a GIF";
        return false;
    }
    image.version = bytes.substr(0, 6);
    if (image.version != "GIF87a" && image.version != "GIF89a") {
        error = "not a GIF header";
        return false;
    }
    in.pos = 6;
    image.width = in.Word();
    image.height = in.Word();
    const int flags = in.Byte();
    in.Byte();  // background colour
    image.aspect = in.Byte();
    if (flags & 0x80) {
        const int size = 2 << (flags & 7);
        for (int i = 0; i < size; ++i) {
            const int r = in.Byte(), g = in.Byte(), b = in.Byte();
            image.colors.push_back({static_cast<uint8_t>(r), static_cast<uint8_t>(g),
                                    static_cast<uint8_t>(b)});
        }
    }

    Frame control;  // the graphic control for the next frame
    for (;;) {
        const int intro = in.Byte();
        if (in.short_) break;
        if (intro == 0x3B) {
            if (in.pos != bytes.size()) {
                error = "bytes after the trailer";
                return false;
            }
            return true;
        }
        if (intro == 0x21) {
            const int label = in.Byte();
            const std::string data = in.SubBlocks();
            if (label == 0xF9) {
                if (data.size() != 4) {
                    error = "graphic control of " + std::to_string(data.size()) + " bytes";
                    return false;
                }
                const int packed = static_cast<uint8_t>(data[0]);
                control.hasControl = true;
                control.disposal = packed >> 2 & 7;
                control.transparent = (packed & 1) != 0;
                control.delay = static_cast<uint8_t>(data[1]) | static_cast<uint8_t>(data[2]) << 8;
            } else if (label == 0xFF && data.size() == 14 && data.compare(0, 11, "NETSCAPE2.0") == 0 &&
                       data[11] == 1) {
                image.loopCount = static_cast<uint8_t>(data[12]) | static_cast<uint8_t>(data[13]) << 8;
            }
            continue;
        }
        if (intro != 0x2C) {
            error = "unknown block " + std::to_string(intro) + " at byte " + std::to_string(in.pos - 1);
            return false;
        }
        Frame frame = control;
        control = Frame{};
        frame.left = in.Word();
        frame.top = in.Word();
        frame.width = in.Word();
        frame.height = in.Word();
        const int imageFlags = in.Byte();
        frame.localTable = (imageFlags & 0x80) != 0;
        frame.interlaced = (imageFlags & 0x40) != 0;
        if (frame.localTable) in.pos += 3u * (2u << (imageFlags & 7));
        const int minCodeSize = in.Byte();
        const std::string data = in.SubBlocks();
        if (in.short_) break;
        const size_t count = static_cast<size_t>(frame.width) * static_cast<size_t>(frame.height);
        if (!DecodeLzw(data, minCodeSize, count, frame.pixels, error)) {
            error = "frame " + std::to_string(image.frames.size()) + ": " + error;
            return false;
        }
        image.frames.push_back(std::move(frame));
    }
    error = "the file ends before its trailer";
    return false;
}

}  // namespace testgif
