// The program's choice of placement, the same for every backend.
#include "placement.h"

namespace gdi8 {

Placement Chosen;

void ChoosePlacement(const Placement& placement) { Chosen = placement; }

}  // namespace gdi8
