// The program's entry on Windows, a GUI program.
#include <windows.h>

#include "run.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return ukvo2::Run(); }
