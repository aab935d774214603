// The one kernel selector: the sets this build has, from the generated list,
// kept where this processor runs them. Each kernel is chosen on its own, by
// timing: the Julia kernel and the blur that run fastest here, unless
// KVO_KERNELS names them. Every set writes the same bytes, so the choice
// never shows in a frame.
#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>

#include "kernels/select.h"

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

// The set that ChooseKernels named, if any; read and set from any thread.
std::atomic<const KernelSet*> Chosen{nullptr};

// The set named `name` (its first `length` characters) among `sets`, or null.
const KernelSet* Named(const char* name, size_t length, const KernelSet* sets, size_t count) {
    for (size_t k = 0; k < count; ++k)
        if (std::strlen(sets[k].name) == length && std::strncmp(sets[k].name, name, length) == 0)
            return &sets[k];
    return nullptr;
}

// The name of the program's own choice: the name of the set its kernels
// come from ("avx2"), or of both sets ("avx512+avx2" for the Julia kernel of
// one and the blur of the other).
std::string CombinedName(const KernelChoice& choice) {
    std::string name = choice.julia->name;
    if (choice.blur != choice.julia) name += std::string("+") + choice.blur->name;
    return name;
}

// The sets that KVO_KERNELS names, if any; a web page has no environment.
const char* NamedSets() {
#ifdef __wasi__
    return nullptr;
#else
    return std::getenv("KVO_KERNELS");
#endif
}

KernelChoice Decide() {
    const Usable& usable = UsableSets();
    KernelChoice choice;
    const char* named = NamedSets();
    // The plain reference is timed only when it stands alone: every other
    // set runs several times as fast.
    if (!named || !ParseKernelChoice(named, usable.sets, usable.count, choice))
        choice = usable.count == 1 ? TimeKernels(usable.sets, 1)
                                   : TimeKernels(usable.sets + 1, usable.count - 1);
    return choice;
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
    // Decided once, even when threads ask at the same time; the set's name
    // lives as long as the set.
    static const KernelChoice choice = Decide();
    static const std::string name = CombinedName(choice);
    static const KernelSet fastest{name.c_str(), choice.julia->julia, choice.blur->blur, nullptr};
    return fastest;
}

const KernelSet& ChosenKernels() {
    const KernelSet* chosen = Chosen.load(std::memory_order_acquire);
    return chosen ? *chosen : FastestKernels();
}

void ChooseKernels(const KernelSet& set) { Chosen.store(&set, std::memory_order_release); }

}  // namespace ukvo2
