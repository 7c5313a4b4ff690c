// Version information of executables.
#include <cstdint>

#include "platform/win32/win32_backend.h"
#include "platform/win32/windows_headers.h"

namespace tarvo {

std::uint32_t Win32Backend::GetFileVersionInfoSize(const std::string& fileName,
                                                   std::uint32_t& handle) {
  DWORD versionHandle = 0;
  const DWORD size = GetFileVersionInfoSizeA(fileName.c_str(), &versionHandle);
  handle = versionHandle;
  return size;
}

bool Win32Backend::GetFileVersionInfo(const std::string& fileName, std::uint32_t handle,
                                      std::uint32_t size, std::vector<std::uint8_t>& block) {
  block.assign(size, 0);
  return GetFileVersionInfoA(fileName.c_str(), handle, size, block.data());
}

bool Win32Backend::VerQueryValue(std::vector<std::uint8_t>& block, const std::string& subBlock,
                                 VersionValue& value) {
  void* found = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), subBlock.c_str(), &found, &length)) return false;
  // Measured as addresses: a pointer before the block becomes an offset far
  // past its end, which the caller refuses like any other.
  value.offset =
      reinterpret_cast<std::uintptr_t>(found) - reinterpret_cast<std::uintptr_t>(block.data());
  value.length = length;
  return true;
}

}  // namespace tarvo
