// The modules' start and closing steps. StopProgram (platform/run_control.h)
// runs the closing steps and ends the run.
#pragma once

namespace tarvo {

// Each module's start step runs once, however often this is called.
void StartModules();
// The closing steps in the reverse order; each runs once, and only for a
// module whose start step ran.
void CloseModules();

}  // namespace tarvo
