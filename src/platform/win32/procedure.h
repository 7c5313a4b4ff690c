// Functions looked up at run time, for calls that older systems lack and for
// libraries the program loads itself.
#pragma once

#include "platform/win32/windows_headers.h"

namespace tarvo {

// The exported function `name` of `module` as a `Function` pointer, or null.
template <typename Function>
Function ProcedureOf(HMODULE module, const char* name) {
  if (!module) return nullptr;
  // Through a plain function pointer: FARPROC converts to no other directly.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace tarvo
