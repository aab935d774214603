// The kernel sets of a 64-bit ARM processor: NEON is part of every one.
#include "kernels.h"

namespace ukvo2 {

namespace {
const KernelSet AllSets[] = {
    {"plain", plain::RenderJulia, plain::ZoomBlur, plain::ExpandFrame},
    {"neon", neon::RenderJulia, neon::ZoomBlur, neon::ExpandFrame},
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
