// Profile files and the Windows directory.
#include <algorithm>
#include <vector>

#include "platform/win32/win32_backend.h"
#include "platform/win32/windows_headers.h"

namespace tarvo {

std::uint32_t Win32Backend::GetPrivateProfileString(const std::string& section,
                                                    const std::string& key,
                                                    const std::string& defaultValue,
                                                    std::string& value, std::uint32_t size,
                                                    const std::string& fileName) {
  if (size == 0) return 0;
  std::vector<char> buffer(size, '\0');
  const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(),
                                                buffer.data(), size, fileName.c_str());
  value.assign(buffer.data(), std::min<DWORD>(length, size - 1));
  return length;
}

std::uint32_t Win32Backend::GetWindowsDirectory(std::string& directory, std::uint32_t size) {
  std::vector<char> buffer(std::size_t{size} + 1, '\0');
  const UINT length = GetWindowsDirectoryA(buffer.data(), size);
  if (length > 0 && length <= size) directory = buffer.data();
  return length;
}

}  // namespace tarvo
