// The AVX-512 set built a second time, on SIMDe's portable versions of the
// AVX-512 instructions: the same kernels, bit for bit, on any x86 processor,
// so that the tests and benchmarks check them where the processor has no
// AVX-512. Slow; never among the sets the program chooses from.
#define SIMDE_ENABLE_NATIVE_ALIASES
#include <simde/x86/avx512.h>

// SIMDe names the mask registers' types only by its own names.
#define __mmask16 simde__mmask16
#define __mmask32 simde__mmask32
#define __mmask64 simde__mmask64
// SIMDe 0.7.4's aliases of these take four arguments: the intrinsics'
// own forms, by SIMDe's names.
#undef _mm512_mask_cmple_epi16_mask
#define _mm512_mask_cmple_epi16_mask(k, a, b) simde_mm512_mask_cmple_epi16_mask(k, a, b)
#undef _mm512_madd_epi16
#define _mm512_madd_epi16(a, b) simde_mm512_madd_epi16(a, b)

#define KVO_AVX512_EMULATED
#define KVO_AVX512_SET avx512_emulated
#define KVO_AVX512_NAME "avx512-emulated"
#define KVO_AVX512_RUNS nullptr
#include "kernels/x86/avx512.cpp"
