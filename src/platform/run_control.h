// The ways a run ends early. Below every routine that stops the run, so
// that stopping needs no include up into the main program, which defines
// StopProgram beside the modules' closing steps it runs.
#pragma once

namespace tarvo {

// Thrown by StopProgram once the closing steps have run, to leave the run
// from wherever it stopped. Deliberately no Exception: no handler of the
// product may take it for an error.
struct RunEnded {
  int exitCode;
};

// Ends the run at once: the closing steps, then exit code 0.
[[noreturn]] void StopProgram();

}  // namespace tarvo
