#include "app/last_resort.h"
#include "app/tarvo32.h"
#include "platform/win32/procedure.h"
#include "platform/win32/win32_backend.h"
#include "platform/win32/windows_headers.h"

namespace {

// An error that C++ handlers neither catch nor unwind, such as an access
// violation inside a library's own registration code, still gets the
// last-resort report and the closing steps. The faulting library stays
// loaded: the process ends here.
LONG WINAPI EndAfterStructuredError(EXCEPTION_POINTERS* exception) {
  const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
  ExitProcess(
      tarvo::EndAfterError(tarvo::StructuredError(record.ExceptionCode, record.ExceptionAddress)));
}

}  // namespace

// The C++ runtime's terminate handler in place of its own, which writes to
// a stderr this program has not: the same report, closing steps and exit
// code as any error no routine handled. The link makes it the default.
extern "C" [[noreturn]] void EndAfterTermination() {
  ExitProcess(tarvo::EndAfterError(tarvo::TerminationError()));
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The old-version message tells users to copy the launcher about, maybe
  // next to a planted DLL.
  const tarvo::OptionalCalls calls = tarvo::OptionalCalls::OfThisSystem();
  tarvo::LoadLibrariesFromTheSystemDirectoryOnly(calls);
  static tarvo::Win32Backend windows(calls);
  tarvo::InstallApi(windows);
  SetUnhandledExceptionFilter(EndAfterStructuredError);
  return tarvo::RunTarvo32();
}
