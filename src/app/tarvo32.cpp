#include "app/tarvo32.h"

#include <exception>

#include "app/last_resort.h"
#include "app/main_sequence.h"
#include "app/modules.h"

namespace tarvo {

namespace {

// Reports the error and runs the closing steps that have not run yet; one of
// them may fail in turn, which is reported the same way.
int EndAfterError(std::exception_ptr error) {
  while (true) {
    ShowLastResortReport(error);
    try {
      CloseModules();
      return 1;
    } catch (...) {
      error = std::current_exception();
    }
  }
}

}  // namespace

int RunTarvo32() {
  try {
    StartModules();
    RunMainSequence();
  } catch (const RunEnded& end) {
    return end.exitCode;
  } catch (...) {
    return EndAfterError(std::current_exception());
  }
}

}  // namespace tarvo
