// ExpandFrame and its plain reference.
#include "present.h"

#include "kernels.h"

namespace ukvo2 {

void plain::ExpandFrame(const uint8_t* pixels, size_t count, const uint32_t table[256],
                        uint32_t* out) {
    for (size_t k = 0; k < count; ++k) out[k] = table[pixels[k]];
}

void ExpandFrame(const uint8_t* pixels, size_t count, const uint32_t table[256],
                 uint32_t* out) {
    ChosenKernels().expand(pixels, count, table, out);
}

}  // namespace ukvo2
