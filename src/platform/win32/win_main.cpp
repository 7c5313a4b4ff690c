#include "app/tarvo32.h"
#include "platform/win32/win32_backend.h"
#include "platform/win32/windows_headers.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  static tarvo::Win32Backend windows;
  tarvo::InstallApi(windows);
  return tarvo::RunTarvo32();
}
