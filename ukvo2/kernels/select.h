// The kernel selector: the sets this processor runs, the set that the
// renderers use, and how it is chosen (timing, or KVO_KERNELS).
#pragma once

#include <cstddef>

#include "kernels/kernel_set.h"

namespace ukvo2 {

// The sets this processor can run: the plain reference first, then by
// instruction set, the newest last. Sets `count`.
const KernelSet* KernelSets(size_t& count);

// Sets that stand in portable code for instructions the processor may lack
// (AVX-512 on an x86 build with SIMDe): the same kernels, exact and slow, for
// the tests and benchmarks to check on any processor of the family. Never
// among KernelSets(), so never chosen. Defined by the library ukvo2_emulated,
// which only tests and benchmarks link; sets `count`, 0 where there is none.
const KernelSet* EmulatedKernelSets(size_t& count);

// The set that RenderJulia and ZoomBlur use: FastestKernels(), unless
// ChooseKernels has named another. Safe from several threads.
const KernelSet& ChosenKernels();

// The program's own choice, made when first needed: the Julia kernel and the
// blur of the sets named by the environment variable KVO_KERNELS ("avx2" for
// both, "avx512,avx2" for the Julia kernel of one and the blur of the other),
// or else of the sets that TimeKernels finds fastest here among those beyond
// the plain reference. Named after its
// sets ("avx2", "avx512+avx2"); its runsHere is null.
const KernelSet& FastestKernels();

// Makes RenderJulia and ZoomBlur use `set` (one of KernelSets(), for tests
// and benchmarks that compare them).
void ChooseKernels(const KernelSet& set);

// The sets that one kernel of each kind comes from.
struct KernelChoice {
    const KernelSet* julia;
    const KernelSet* blur;
};

// Times the Julia kernels and the blurs of `sets` (count >= 1) on frames of
// the animation, interleaved and repeated, and returns the fastest of each
// kind: a few milliseconds.
KernelChoice TimeKernels(const KernelSet* sets, size_t count);

// Reads "NAME" or "JULIA,BLUR", names of `sets`, into `choice`; false, and
// `choice` untouched, for anything else.
bool ParseKernelChoice(const char* text, const KernelSet* sets, size_t count, KernelChoice& choice);

}  // namespace ukvo2
