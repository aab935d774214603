// The kernel sets of a processor without x86 vector kernels: the plain
// reference alone.
#include "kernels.h"

namespace ukvo2 {

namespace {
const KernelSet PlainSet = {"plain", plain::RenderJulia, plain::ZoomBlur, plain::ExpandFrame};
}

const KernelSet* KernelSets(size_t& count) {
    count = 1;
    return &PlainSet;
}

const KernelSet& ChosenKernels() { return PlainSet; }

void ChooseKernels(const KernelSet&) {}

}  // namespace ukvo2
