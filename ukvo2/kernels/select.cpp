// The one kernel selector: the sets this build has, from the generated list,
// kept where this processor runs them; the fastest of those is the choice.
#include <cstddef>

#include "kernels/kernels.h"

namespace ukvo2 {

// Every set of the build, slowest first. The list, one KVO_KERNEL_SET(name)
// per set, is written by the build for the processor family it targets.
#define KVO_KERNEL_SET(name) \
    namespace name {         \
    extern const KernelSet Kernels; \
    }
#include "kernel_sets.h"
#undef KVO_KERNEL_SET

namespace {

#define KVO_KERNEL_SET(name) &name::Kernels,
const KernelSet* const BuiltSets[] = {
#include "kernel_sets.h"
};
#undef KVO_KERNEL_SET

constexpr size_t BuiltCount = sizeof BuiltSets / sizeof BuiltSets[0];

struct Usable {
    KernelSet sets[BuiltCount];
    size_t count = 0;
};

Usable FindUsable() {
    Usable usable;
    for (const KernelSet* set : BuiltSets)
        if (!set->runsHere || set->runsHere()) usable.sets[usable.count++] = *set;
    return usable;
}

const Usable& UsableSets() {
    static const Usable usable = FindUsable();
    return usable;
}

const KernelSet* Chosen = nullptr;

}  // namespace

const KernelSet* KernelSets(size_t& count) {
    count = UsableSets().count;
    return UsableSets().sets;
}

const KernelSet& ChosenKernels() {
    // Set once, even when threads ask at the same time.
    static const KernelSet* const fastest = &UsableSets().sets[UsableSets().count - 1];
    return Chosen ? *Chosen : *fastest;
}

void ChooseKernels(const KernelSet& set) { Chosen = &set; }

}  // namespace ukvo2
