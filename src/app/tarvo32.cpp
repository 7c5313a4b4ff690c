#include "app/tarvo32.h"

#include "app/last_resort.h"
#include "app/main_sequence.h"
#include "app/modules.h"

namespace tarvo {

int RunTarvo32() {
  int exitCode = 1;
  std::optional<ErrorDescription> error = RunGuarded([&exitCode] {
    try {
      StartModules();
      RunMainSequence();
    } catch (const RunEnded& end) {
      exitCode = end.exitCode;
    }
  });
  // The report first, then the closing steps that have not run yet; one of
  // them may fail in turn, which is reported the same way.
  while (error) {
    exitCode = 1;
    ShowLastResortReport(*error);
    error = RunGuarded(CloseModules);
  }
  return exitCode;
}

}  // namespace tarvo
