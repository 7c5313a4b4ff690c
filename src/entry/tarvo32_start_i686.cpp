// The launcher's first code on 32-bit x86. The C runtime's start-up, the
// exception unwinder and parts of the C++ runtime were compiled for the
// Pentium Pro and use CMOV, which faults on a Pentium, Pentium MMX or AMD
// K6; so before any of them runs, the handler that carries those out is
// registered, and the runtime's own start-up (and with it WinMain) runs
// under it.
#include "platform/win32/p6_fault_handler.h"
#include "platform/win32/windows_headers.h"

extern "C" int WinMainCRTStartup();

extern "C" void StartWithConditionalMovesCarriedOut() {
  tarvo::RunWithConditionalMovesCarriedOut(
      [] { ExitProcess(static_cast<UINT>(WinMainCRTStartup())); });
}
