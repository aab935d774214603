// The emulated sets of this build: none, or the AVX-512 set on portable
// code where the build has SIMDe (KVO_EMULATED_AVX512).
#include "kernels/select.h"

namespace ukvo2 {

#ifdef KVO_EMULATED_AVX512
namespace avx512_emulated {
extern const KernelSet Kernels;
}
#endif

const KernelSet* EmulatedKernelSets(size_t& count) {
#ifdef KVO_EMULATED_AVX512
    count = 1;
    return &avx512_emulated::Kernels;
#else
    count = 0;
    return nullptr;
#endif
}

}  // namespace ukvo2
