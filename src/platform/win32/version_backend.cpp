// Version information of executables.
#include <cstdint>
#include <string>

#include "platform/win32/procedure.h"
#include "platform/win32/win32_backend.h"
#include "platform/win32/windows_headers.h"

namespace tarvo {

namespace {

// version.dll is no "known DLL": imported by name, a copy planted beside the
// program would be loaded in its place. It is loaded by its full path in the
// system directory instead, once, and kept until the program ends.
class VersionLibrary {
 public:
  static const VersionLibrary& Instance() {
    static const VersionLibrary library;
    return library;
  }

  decltype(&GetFileVersionInfoSizeA) infoSize = nullptr;
  decltype(&GetFileVersionInfoA) info = nullptr;
  decltype(&VerQueryValueA) queryValue = nullptr;

 private:
  VersionLibrary() {
    char system[MAX_PATH + 1] = {};
    const UINT length = GetSystemDirectoryA(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    module_ = LoadLibraryA((std::string(system, length) + "\\version.dll").c_str());
    infoSize = ProcedureOf<decltype(infoSize)>(module_, "GetFileVersionInfoSizeA");
    info = ProcedureOf<decltype(info)>(module_, "GetFileVersionInfoA");
    queryValue = ProcedureOf<decltype(queryValue)>(module_, "VerQueryValueA");
  }
  ~VersionLibrary() {
    if (module_) FreeLibrary(module_);
  }

  HMODULE module_ = nullptr;
};

}  // namespace

std::uint32_t Win32Backend::GetFileVersionInfoSize(const std::string& fileName,
                                                   std::uint32_t& handle) {
  const auto infoSize = VersionLibrary::Instance().infoSize;
  if (!infoSize) return 0;
  DWORD versionHandle = 0;
  const DWORD size = infoSize(fileName.c_str(), &versionHandle);
  handle = versionHandle;
  return size;
}

bool Win32Backend::GetFileVersionInfo(const std::string& fileName, std::uint32_t handle,
                                      std::uint32_t size, std::vector<std::uint8_t>& block) {
  const auto info = VersionLibrary::Instance().info;
  block.assign(size, 0);
  return info && info(fileName.c_str(), handle, size, block.data());
}

bool Win32Backend::VerQueryValue(std::vector<std::uint8_t>& block, const std::string& subBlock,
                                 VersionValue& value) {
  const auto queryValue = VersionLibrary::Instance().queryValue;
  void* found = nullptr;
  UINT length = 0;
  if (!queryValue || !queryValue(block.data(), subBlock.c_str(), &found, &length)) return false;
  // Measured as addresses: a pointer before the block becomes an offset far
  // past its end, which the caller refuses like any other.
  value.offset =
      reinterpret_cast<std::uintptr_t>(found) - reinterpret_cast<std::uintptr_t>(block.data());
  value.length = length;
  return true;
}

}  // namespace tarvo
