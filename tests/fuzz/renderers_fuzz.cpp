// Fuzz target for the two renderers: any frame size, parameter, iteration
// limit, centre and factor, on any buffer contents. Every kernel must stay
// inside the frame and write the same bytes as the plain reference.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "kernels.h"
#include "numeric.h"
#include "ukvo2.h"

namespace {

// Reads fixed-size values from the front of the input; zeros once it runs out.
struct Input {
    const uint8_t* data;
    size_t size;
    template <typename T>
    T Take() {
        T v{};
        const size_t n = size < sizeof v ? size : sizeof v;
        std::memcpy(&v, data, n);
        data += n;
        size -= n;
        return v;
    }
};

void Check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in{data, size};
    // Frames up to 96 x 96 keep runs fast; the shape bytes reach 0, 1 and odd
    // sizes often.
    const uint8_t shape = in.Take<uint8_t>();
    int32_t width = in.Take<uint8_t>() % 97;
    int32_t height = in.Take<uint8_t>() % 97;
    if (shape & 1) {  // now and then a wide, shallow frame
        width = width * 11;
        height = height % 5;
    }
    const int32_t maxIter = static_cast<int32_t>(in.Take<uint16_t>() % 302) - 1;
    const double cRe = in.Take<double>();
    const double cIm = in.Take<double>();
    const int32_t cx = in.Take<int32_t>();
    const int32_t cy = in.Take<int32_t>();
    const double factor = in.Take<double>();
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);

    // Exactly-sized heap buffers, so that the address sanitizer sees any
    // access outside the frame.
    std::vector<uint8_t> start(count);
    for (size_t i = 0; i < count; ++i) start[i] = in.size ? in.Take<uint8_t>() : static_cast<uint8_t>(i * 37);

    // Through the public routines, which convert and clamp the arguments
    // and run the fastest kernels.
    std::vector<uint8_t> chosen = start;
    ukvo2::RenderJulia(chosen.data(), width, height, maxIter, cRe, cIm);
    ukvo2::ZoomBlur(chosen.data(), width, height, cx, cy, factor);

    // Through every kernel set, with the arguments converted by hand as the
    // public routines document it.
    const bool julia = width >= 1 && height >= 2;
    const int32_t cre = ukvo2::RoundToInt32(cRe * 1024.0);
    const int32_t cim = ukvo2::RoundToInt32(cIm * 1024.0);
    uint32_t d = 0;
    const bool blur = width >= 1 && height >= 1 && ukvo2::ZoomStep(factor, d);
    const int32_t x = cx < 0 ? 0 : (cx >= width ? width - 1 : cx);
    const int32_t y = cy < 0 ? 0 : (cy >= height ? height - 1 : cy);

    size_t count_sets = 0;
    const ukvo2::KernelSet* sets = ukvo2::KernelSets(count_sets);
    std::vector<uint8_t> reference;
    for (size_t k = 0; k < count_sets; ++k) {
        std::vector<uint8_t> frame = start;
        if (julia) sets[k].julia(frame.data(), width, height, maxIter, cre, cim);
        if (blur) sets[k].blur(frame.data(), width, height, x, y, d);
        if (k == 0) reference = frame;  // the plain set
        Check(frame == reference);
    }
    Check(chosen == reference);
    return 0;
}
