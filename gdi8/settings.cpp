// The window layer's settings and handle, the same for every backend.
#include "gdi8.h"

namespace gdi8 {

void* WindowHandle = nullptr;
Place Where = Place::Window;
uintptr_t Parent = 0;
bool EchoTitle = false;

}  // namespace gdi8
