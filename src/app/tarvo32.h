// Tarvo32, the cd-rom's start program: one run from the modules' start steps
// to the end of the process.
#pragma once

namespace tarvo {

// Returns the process's exit code: 0 for every ordinary end, early stops
// included; 1 after an error that no routine handled.
int RunTarvo32();

}  // namespace tarvo
