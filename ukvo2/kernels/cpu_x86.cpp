// The x86 processor probe behind the AVX2 and AVX-512 sets. SSE2 needs none:
// it is the 32-bit Windows target's baseline and part of every x86-64.
#include "kernels/cpu_x86.h"

namespace ukvo2 {

bool CpuRunsAvx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

bool CpuRunsAvx512() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
}

}  // namespace ukvo2
