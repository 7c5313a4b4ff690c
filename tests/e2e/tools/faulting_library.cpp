// Stands in for a system library whose own registration code crashes: its
// DllRegisterServer raises the access violation of a write through a null
// pointer. Raised rather than caused, because 32-bit Wine on an emulated
// processor (qemu's user mode) is told of a real page fault as trap -1 and
// reports an illegal instruction instead.
#include "platform/win32/windows_headers.h"

extern "C" HRESULT WINAPI DllRegisterServer() {
  const ULONG_PTR writeToAddressZero[] = {1, 0};
  RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 2, writeToAddressZero);
  return S_OK;
}
