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

// The calls that not every Windows the programs start on has. A program that
// imported one would not even load where it is missing, so they are looked
// up; null where the system lacks one. Tests pass their own.
struct OptionalCalls {
  // Windows 8 and later, Vista and 7 with update KB2533623.
  BOOL(WINAPI* setDefaultDllDirectories)(DWORD) = nullptr;
  // Windows 95 OSR2, NT 4.0 and later; the first Windows 95 lacks it.
  BOOL(WINAPI* getDiskFreeSpaceEx)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER,
                                   PULARGE_INTEGER) = nullptr;

  // As this system's kernel32 offers them.
  static OptionalCalls OfThisSystem() {
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    OptionalCalls calls;
    calls.setDefaultDllDirectories =
        ProcedureOf<decltype(setDefaultDllDirectories)>(kernel, "SetDefaultDllDirectories");
    calls.getDiskFreeSpaceEx =
        ProcedureOf<decltype(getDiskFreeSpaceEx)>(kernel, "GetDiskFreeSpaceExA");
    return calls;
  }
};

// A program copied next to a planted DLL must not load it: libraries come
// from the system directory only, where the system offers that. Tells
// whether it does.
inline bool LoadLibrariesFromTheSystemDirectoryOnly(const OptionalCalls& calls) {
  // LOAD_LIBRARY_SEARCH_SYSTEM32, which Windows 95's headers do not know.
  constexpr DWORD searchSystem32 = 0x00000800;
  return calls.setDefaultDllDirectories && calls.setDefaultDllDirectories(searchSystem32);
}

}  // namespace tarvo
