// The one kernel selector: the sets this build has, from the generated list,
// kept where this processor runs them. Each kernel is chosen on its own, by
// timing: the Julia kernel and the blur that run fastest here, unless
// KVO_KERNELS names them. Every set writes the same bytes, so the choice
// never shows in a frame.
#include <cstddef>
#include <cstdlib>
#include <cstring>

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

// The set named `name` (its first `length` characters) among `sets`, or null.
const KernelSet* Named(const char* name, size_t length, const KernelSet* sets, size_t count) {
    for (size_t k = 0; k < count; ++k)
        if (std::strlen(sets[k].name) == length && std::strncmp(sets[k].name, name, length) == 0)
            return &sets[k];
    return nullptr;
}

// The program's own choice as one set, named after the sets its kernels come
// from ("avx2", or "avx512+avx2" for the Julia kernel of one and the blur of
// the other).
KernelSet Combine(const KernelChoice& choice) {
    static char name[64];
    std::strncpy(name, choice.julia->name, sizeof name - 1);
    if (choice.blur != choice.julia) {
        std::strncat(name, "+", sizeof name - 1 - std::strlen(name));
        std::strncat(name, choice.blur->name, sizeof name - 1 - std::strlen(name));
    }
    return KernelSet{name, choice.julia->julia, choice.blur->blur, nullptr};
}

// The sets that KVO_KERNELS names, if any; a web page has no environment.
const char* NamedSets() {
#ifdef __wasi__
    return nullptr;
#else
    return std::getenv("KVO_KERNELS");
#endif
}

KernelSet Decide() {
    const Usable& usable = UsableSets();
    KernelChoice choice;
    const char* named = NamedSets();
    // The plain reference is timed only when it stands alone: every other
    // set runs several times as fast.
    if (!named || !ParseKernelChoice(named, usable.sets, usable.count, choice))
        choice = usable.count == 1 ? TimeKernels(usable.sets, 1)
                                   : TimeKernels(usable.sets + 1, usable.count - 1);
    return Combine(choice);
}

}  // namespace

const KernelSet* KernelSets(size_t& count) {
    count = UsableSets().count;
    return UsableSets().sets;
}

bool ParseKernelChoice(const char* text, const KernelSet* sets, size_t count, KernelChoice& choice) {
    const char* comma = std::strchr(text, ',');
    const size_t first = comma ? static_cast<size_t>(comma - text) : std::strlen(text);
    const KernelSet* julia = Named(text, first, sets, count);
    const KernelSet* blur = comma ? Named(comma + 1, std::strlen(comma + 1), sets, count) : julia;
    if (!julia || !blur) return false;
    choice = KernelChoice{julia, blur};
    return true;
}

const KernelSet& FastestKernels() {
    // Decided once, even when threads ask at the same time.
    static const KernelSet fastest = Decide();
    return fastest;
}

const KernelSet& ChosenKernels() { return Chosen ? *Chosen : FastestKernels(); }

void ChooseKernels(const KernelSet& set) { Chosen = &set; }

}  // namespace ukvo2
