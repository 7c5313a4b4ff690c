#include <cassert>

#include "platform/win32_api.h"

namespace tarvo {

namespace {
Win32Api* installed = nullptr;
}

Win32Api& Api() {
  assert(installed && "InstallApi must run before the product talks to Windows");
  return *installed;
}

void InstallApi(Win32Api& api) { installed = &api; }

}  // namespace tarvo
