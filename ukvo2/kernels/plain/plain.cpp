// The plain reference set: every processor runs it, and every other set must
// write its bytes.
#include "kernels/kernel_set.h"

namespace ukvo2::plain {

extern const KernelSet Kernels = {"plain", RenderJulia, ZoomBlur, nullptr};

}  // namespace ukvo2::plain
