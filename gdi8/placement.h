// The placement the program chose (ChoosePlacement), as the backends read it.
#pragma once

#include "gdi8.h"

namespace gdi8 {

extern Placement Chosen;

}  // namespace gdi8
