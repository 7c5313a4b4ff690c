// The modules' start and closing steps, and the ways a run ends.
#pragma once

namespace tarvo {

// Thrown by StopProgram once the closing steps have run, to leave the run
// from wherever it stopped. Deliberately no Exception: no handler of the
// product may take it for an error.
struct RunEnded {
  int exitCode;
};

// Each module's start step runs once, however often this is called.
void StartModules();
// The closing steps in the reverse order; each runs once, and only for a
// module whose start step ran.
void CloseModules();

// Ends the run at once: the closing steps, then exit code 0.
[[noreturn]] void StopProgram();

}  // namespace tarvo
