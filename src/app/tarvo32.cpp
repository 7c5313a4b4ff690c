#include "app/tarvo32.h"

#include "app/last_resort.h"
#include "app/main_sequence.h"
#include "app/modules.h"
#include "platform/run_control.h"

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
  return error ? EndAfterError(*error) : exitCode;
}

}  // namespace tarvo
