// The AVX-512 intrinsics by their own names, on SIMDe's portable versions:
// what avx512.cpp includes instead of <immintrin.h> when it is built as the
// emulated set (KVO_AVX512_EMULATED; Debian: libsimde-dev).
#pragma once

#define SIMDE_ENABLE_NATIVE_ALIASES
#include <simde/x86/avx512.h>

// SIMDe names the mask registers' types only by its own names.
#define __mmask16 simde__mmask16
#define __mmask32 simde__mmask32
#define __mmask64 simde__mmask64
// SIMDe 0.7.4's aliases of these take four arguments: the intrinsics' own
// forms, by SIMDe's names.
#undef _mm512_mask_cmple_epi16_mask
#define _mm512_mask_cmple_epi16_mask(k, a, b) simde_mm512_mask_cmple_epi16_mask(k, a, b)
#undef _mm512_madd_epi16
#define _mm512_madd_epi16(a, b) simde_mm512_madd_epi16(a, b)
