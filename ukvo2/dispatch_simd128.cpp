// The kernel sets of a WebAssembly module built with SIMD128: such a module
// loads only where SIMD128 is supported, so its kernels are always usable.
#include "kernels.h"

namespace ukvo2 {

namespace {
const KernelSet AllSets[] = {
    {"plain", plain::RenderJulia, plain::ZoomBlur, plain::ExpandFrame},
    {"simd128", simd128::RenderJulia, simd128::ZoomBlur, simd128::ExpandFrame},
};
const KernelSet* Chosen = &AllSets[1];
}  // namespace

const KernelSet* KernelSets(size_t& count) {
    count = 2;
    return AllSets;
}

const KernelSet& ChosenKernels() { return *Chosen; }

void ChooseKernels(const KernelSet& set) { Chosen = &set; }

}  // namespace ukvo2
