// Stands in for a system library whose own registration code crashes: its
// DllRegisterServer writes through a null pointer.
#include "platform/win32/windows_headers.h"

extern "C" HRESULT WINAPI DllRegisterServer() {
  *static_cast<volatile int*>(nullptr) = 1;
  return S_OK;
}
