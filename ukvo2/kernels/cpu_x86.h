// What this x86 processor and its operating system can run, asked once.
#pragma once

namespace ukvo2 {

bool CpuRunsAvx2();
bool CpuRunsAvx512();  // F and BW

}  // namespace ukvo2
