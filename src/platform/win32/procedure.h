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

// A program copied next to a planted DLL must not load it: libraries come
// from the system directory only, where Windows offers that (Vista with
// KB2533623 and later; looked up, so that older systems still start).
inline void LoadLibrariesFromTheSystemDirectoryOnly() {
  const auto setDirectories = ProcedureOf<BOOL(WINAPI*)(DWORD)>(GetModuleHandleA("kernel32.dll"),
                                                                "SetDefaultDllDirectories");
  if (setDirectories) setDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace tarvo
