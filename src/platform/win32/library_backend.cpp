// The library calls of the real backend.
#include <vector>

#include "platform/win32/win32_backend.h"
#include "platform/win32/windows_headers.h"

namespace tarvo {

std::uint32_t Win32Backend::GetSystemDirectory(std::string& directory, std::uint32_t bufferSize) {
  // One more than the call is told, as a caller that expects its terminating
  // zero to fit in a MAX_PATH + 1 buffer allows.
  std::vector<char> buffer(bufferSize + 1, '\0');
  const UINT length = GetSystemDirectoryA(buffer.data(), bufferSize);
  if (length > 0 && length < bufferSize) directory.assign(buffer.data(), length);
  return length;
}

Handle Win32Backend::LoadLibrary(const std::string& path) {
  return reinterpret_cast<Handle>(LoadLibraryA(path.c_str()));
}

std::uintptr_t Win32Backend::GetProcAddress(Handle library, const std::string& name) {
  return reinterpret_cast<std::uintptr_t>(
      ::GetProcAddress(reinterpret_cast<HMODULE>(library), name.c_str()));
}

std::int32_t Win32Backend::CallEntryPoint(std::uintptr_t entry) {
  using EntryPoint = HRESULT(WINAPI*)();
  return reinterpret_cast<EntryPoint>(entry)();
}

void Win32Backend::FreeLibrary(Handle library) {
  ::FreeLibrary(reinterpret_cast<HMODULE>(library));
}

}  // namespace tarvo
