// Fuzz target for the two renderers: any frame size, parameter, iteration
// limit, centre and factor, on any buffer contents. Every kernel must stay
// inside the frame and write the same bytes as the plain reference, the
// emulated sets too.
// Input, little-endian: shape u8 (bit 0: a wide frame, width x 11 and height
// mod 5), width u8, height u8, maxIter + 1 u16, cRe f64, cIm f64, cx i32,
// cy i32, factor f64, then the buffer's bytes; zeros where it runs out.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "kernels/select.h"
#include "test_util.h"
#include "renderers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto take = [&](auto v) {
        const size_t n = std::min(size, sizeof v);
        std::memcpy(&v, data, n);
        data += n, size -= n;
        return v;
    };
    // Frames up to 96 x 96 keep runs fast; the shape bytes reach 0, 1 and odd
    // sizes often.
    const uint8_t shape = take(uint8_t{});
    int32_t width = take(uint8_t{}) % 97, height = take(uint8_t{}) % 97;
    if (shape & 1) width *= 11, height %= 5;
    const int32_t maxIter = static_cast<int32_t>(take(uint16_t{}) % 302) - 1;
    const double cRe = take(0.0), cIm = take(0.0);
    const int32_t cx = take(int32_t{}), cy = take(int32_t{});
    const double factor = take(0.0);
    // Exactly-sized heap buffers: the address sanitizer sees any access
    // outside the frame.
    std::vector<uint8_t> start(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < start.size(); ++i) start[i] = size ? take(uint8_t{}) : static_cast<uint8_t>(i * 37);

    // Through the public routines, which convert and clamp the arguments and
    // run the fastest kernels ...
    std::vector<uint8_t> chosen = start;
    ukvo2::RenderJulia(chosen.data(), width, height, maxIter, cRe, cIm);
    ukvo2::ZoomBlur(chosen.data(), width, height, cx, cy, factor);
    // ... and through every kernel set, the arguments converted by hand as
    // the public routines document it.
    uint32_t d = 0;
    const bool blur = width >= 1 && height >= 1 && ukvo2::ZoomStep(factor, d);
    static const std::vector<const ukvo2::KernelSet*> sets = testutil::SetsToCompare();
    std::vector<uint8_t> plain;
    for (const ukvo2::KernelSet* set : sets) {
        std::vector<uint8_t> frame = start;
        if (width >= 1 && height >= 2)
            set->julia(frame.data(), width, height, maxIter, ukvo2::JuliaFixedPoint(cRe),
                          ukvo2::JuliaFixedPoint(cIm));
        if (blur)
            set->blur(frame.data(), width, height, std::clamp(cx, 0, width - 1), std::clamp(cy, 0, height - 1), d);
        if (set == sets[0]) plain = frame;
        if (frame != plain) std::abort();
    }
    if (chosen != plain) std::abort();
    return 0;
}
