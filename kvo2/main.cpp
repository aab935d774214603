// The program's entry.
#include "run.h"

int main() { return ukvo2::Run(); }
