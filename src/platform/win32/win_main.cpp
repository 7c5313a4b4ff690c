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

// A launcher copied next to a planted DLL (its old-version message tells
// users to copy it about) must not load that DLL: libraries come from the
// system directory only, where Windows offers that (Vista with KB2533623 and
// later; looked up here so that older systems still start).
void LoadLibrariesFromTheSystemDirectoryOnly() {
  const auto setDirectories = tarvo::ProcedureOf<BOOL(WINAPI*)(DWORD)>(
      GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
  if (setDirectories) setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  LoadLibrariesFromTheSystemDirectoryOnly();
  static tarvo::Win32Backend windows;
  tarvo::InstallApi(windows);
  SetUnhandledExceptionFilter(EndAfterStructuredError);
  return tarvo::RunTarvo32();
}
