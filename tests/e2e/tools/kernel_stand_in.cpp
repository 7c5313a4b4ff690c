// Stands in for kernel32.dll in a test copy of the launcher whose import
// names this library instead (tests/e2e/harness/old_windows.py). Every call
// goes on to kernel32 (the build forwards the rest of the program's kernel32
// imports there) except those an older Windows only stubs or lacks, which
// fail here as they fail there. STAND_IN_WINDOWS names that Windows; there
// is one build for each.
#include "platform/win32/windows_headers.h"

namespace {

enum class Windows { Windows95, Windows98, NT4 };
constexpr Windows ThisWindows = Windows::STAND_IN_WINDOWS;
// Windows 95, 98 and ME, whose kernel32 implements few Unicode calls and
// stubs a few others.
constexpr bool IsWindows9x = ThisWindows != Windows::NT4;

template <typename Result>
Result NotImplemented(Result result) {
  SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
  return result;
}

bool IsNamed(LPCSTR name, const char* wanted) {
  // An ordinal is no name: it lives in the pointer's low word.
  return HIWORD(reinterpret_cast<ULONG_PTR>(name)) != 0 && lstrcmpA(name, wanted) == 0;
}

// What GetProcAddress finds nowhere in this Windows' kernel32.
bool IsMissingFromKernel32(LPCSTR name) {
  // Windows 95 OSR2 and NT 4.0 brought GetDiskFreeSpaceExA; Windows 8 (and
  // KB2533623 on Vista and 7) SetDefaultDllDirectories.
  return IsNamed(name, "SetDefaultDllDirectories") ||
         (ThisWindows == Windows::Windows95 && IsNamed(name, "GetDiskFreeSpaceExA"));
}

}  // namespace

extern "C" {

BOOL WINAPI StandInMoveFileExA(LPCSTR existing, LPCSTR newName, DWORD flags) {
  if (IsWindows9x) return NotImplemented(FALSE);
  return MoveFileExA(existing, newName, flags);
}

HANDLE WINAPI StandInCreateSemaphoreW(LPSECURITY_ATTRIBUTES attributes, LONG initialCount,
                                      LONG maximumCount, LPCWSTR name) {
  if (IsWindows9x) return NotImplemented<HANDLE>(nullptr);
  return CreateSemaphoreW(attributes, initialCount, maximumCount, name);
}

int WINAPI StandInCompareStringA(LCID locale, DWORD flags, LPCSTR first, int firstLength,
                                 LPCSTR second, int secondLength) {
  // The invariant locale came with Windows 2000.
  if (locale == LOCALE_INVARIANT) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return CompareStringA(locale, flags, first, firstLength, second, secondLength);
}

FARPROC WINAPI StandInGetProcAddress(HMODULE module, LPCSTR name) {
  if (module && module == GetModuleHandleA("kernel32.dll") && IsMissingFromKernel32(name)) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return GetProcAddress(module, name);
}

}  // extern "C"
