// The kernel sets of an x86 processor: SSE2 always (the 32-bit Windows
// target's baseline, and part of every x86-64), AVX2 and AVX-512 where the
// processor and the operating system support them.
#include "kernels.h"

namespace ukvo2 {

namespace {

const KernelSet AllSets[] = {
    {"plain", plain::RenderJulia, plain::ZoomBlur, plain::ExpandFrame},
    {"sse2", sse2::RenderJulia, sse2::ZoomBlur, sse2::ExpandFrame},
    {"avx2", avx2::RenderJulia, avx2::ZoomBlur, avx2::ExpandFrame},
    {"avx512", avx512::RenderJulia, avx512::ZoomBlur, avx512::ExpandFrame},
};

size_t CountUsable() {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw")) return 4;
    if (__builtin_cpu_supports("avx2")) return 3;
    return 2;
}

}  // namespace

const KernelSet* KernelSets(size_t& count) {
    static const size_t usable = CountUsable();
    count = usable;
    return AllSets;
}

namespace {
const KernelSet* Chosen = nullptr;
}

const KernelSet& ChosenKernels() {
    if (!Chosen) {
        size_t count;
        Chosen = &KernelSets(count)[count - 1];
    }
    return *Chosen;
}

void ChooseKernels(const KernelSet& set) { Chosen = &set; }

}  // namespace ukvo2
