// Prints the hash of the frame drawn at each clock reading given on the
// command line, once for every kernel set this processor runs: "SET T HASH".
// Built for Windows too, so that frames made there can be compared with the
// golden ones.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>

#include "kernels.h"
#include "test_util.h"
#include "ukvo2.h"

int main(int argc, char** argv) {
    ukvo2::BuildPath();
    size_t count = 0;
    const ukvo2::KernelSet* sets = ukvo2::KernelSets(count);
    for (size_t k = 0; k < count; ++k) {
        ukvo2::ChooseKernels(sets[k]);
        for (int i = 1; i < argc; ++i) {
            const uint32_t t = static_cast<uint32_t>(std::strtoul(argv[i], nullptr, 10));
            ukvo2::RenderFrameAt(t);
            std::printf("%s %" PRIu32 " %016" PRIx64 "\n", sets[k].name, t,
                        testutil::Fnv1a(ukvo2::Pixels, ukvo2::FrameBytes));
        }
    }
    return 0;
}
