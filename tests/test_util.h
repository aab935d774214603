// Helpers shared by the tests.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "kernels/select.h"

namespace testutil {

// The kernel sets to compare: those this processor runs, the plain reference
// first, then the emulated ones (ukvo2_emulated).
inline std::vector<const ukvo2::KernelSet*> SetsToCompare() {
    std::vector<const ukvo2::KernelSet*> sets;
    size_t count;
    const ukvo2::KernelSet* run = ukvo2::KernelSets(count);
    for (size_t k = 0; k < count; ++k) sets.push_back(&run[k]);
    const ukvo2::KernelSet* emulated = ukvo2::EmulatedKernelSets(count);
    for (size_t k = 0; k < count; ++k) sets.push_back(&emulated[k]);
    return sets;
}

// FNV-1a, 64 bits: pins a frame's bytes.
inline uint64_t Fnv1a(const uint8_t* data, size_t size) {
    uint64_t h = 1469598103934665603ull;
    for (size_t i = 0; i < size; ++i) {
        h ^= data[i];
        h *= 1099511628211ull;
    }
    return h;
}

inline size_t Count(const std::vector<uint8_t>& v, uint8_t value) {
    return static_cast<size_t>(std::count(v.begin(), v.end(), value));
}

}  // namespace testutil
