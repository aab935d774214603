// The pixel loops of the two renderers, on arguments that RenderJulia and
// ZoomBlur have already converted and checked, and the sets they come in: the
// plain reference, and one set per instruction set, which must write the same
// bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ukvo2 {

// Writes the Julia set of z -> z^2 + c, c = (cre + i cim) / 1024, into a
// width x height frame owned by the caller. Requires width >= 1, height >= 2.
using JuliaKernel = void (*)(uint8_t* pixels, int32_t width, int32_t height,
                             int32_t maxIter, int32_t cre, int32_t cim);

// Zoom-blurs a width x height frame in place about (cx, cy) with the 16.16
// step d. Requires 1 <= width, height <= 65536, 0 <= cx < width,
// 0 <= cy < height and 1 <= d <= 65535.
using BlurKernel = void (*)(uint8_t* pixels, int32_t width, int32_t height,
                            int32_t cx, int32_t cy, uint32_t d);

// One version of every kernel, and whether this processor runs it.
struct KernelSet {
    const char* name;  // "plain", "sse2", "avx2", "avx512", "neon" or "simd128"
    JuliaKernel julia;
    BlurKernel blur;
    bool (*runsHere)();  // null: every processor that runs the program
};

// Each set lives in the namespace of its name, as `Kernels`, beside its
// kernels. A build links the plain set and those of its processor family.
namespace plain {
void RenderJulia(uint8_t* pixels, int32_t width, int32_t height, int32_t maxIter,
                 int32_t cre, int32_t cim);
void ZoomBlur(uint8_t* pixels, int32_t width, int32_t height, int32_t cx, int32_t cy,
              uint32_t d);
extern const KernelSet Kernels;
}  // namespace plain

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

// A buffer of at least `count` 32-bit words for the blur kernels, the calling
// thread's own: kept until FreeBlurScratch and grown when a larger frame
// needs it; null when memory runs out.
uint32_t* BlurScratch(size_t count);

// 32-bit arithmetic that wraps instead of overflowing. Inside the design no
// result wraps, so these give exactly the signed results; outside it they
// keep the behaviour defined.
inline int32_t WrapAdd(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t WrapSub(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
inline int32_t WrapMul(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

}  // namespace ukvo2
