// The registry calls of the real backend.
#include "platform/win32/win32_backend.h"
#include "platform/win32/windows_headers.h"

namespace tarvo {

namespace {

HKEY ToHkey(Handle key) {
  if (key == HkeyClassesRoot) return HKEY_CLASSES_ROOT;
  if (key == HkeyCurrentUser) return HKEY_CURRENT_USER;
  return reinterpret_cast<HKEY>(key);
}

// An empty name asks for the default value, which the call names by null.
const char* ValueName(const std::string& name) { return name.empty() ? nullptr : name.c_str(); }

}  // namespace

std::int32_t Win32Backend::RegCreateKeyEx(Handle parent, const std::string& subKey,
                                          std::uint32_t access, Handle& key) {
  HKEY created = nullptr;
  const LONG result = RegCreateKeyExA(ToHkey(parent), subKey.c_str(), 0, nullptr,
                                      REG_OPTION_NON_VOLATILE, access, nullptr, &created, nullptr);
  if (result == ERROR_SUCCESS) key = reinterpret_cast<Handle>(created);
  return result;
}

std::int32_t Win32Backend::RegOpenKeyEx(Handle parent, const std::string& subKey,
                                        std::uint32_t access, Handle& key) {
  HKEY opened = nullptr;
  const LONG result = RegOpenKeyExA(ToHkey(parent), subKey.c_str(), 0, access, &opened);
  if (result == ERROR_SUCCESS) key = reinterpret_cast<Handle>(opened);
  return result;
}

std::int32_t Win32Backend::RegQueryValueEx(Handle key, const std::string& name, std::uint32_t& type,
                                           std::uint8_t* data, std::uint32_t& size) {
  DWORD valueType = 0;
  DWORD valueSize = size;
  const LONG result =
      RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &valueType, data, &valueSize);
  if (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
    type = valueType;
    size = valueSize;
  }
  return result;
}

std::int32_t Win32Backend::RegSetValueEx(Handle key, const std::string& name, std::uint32_t type,
                                         const std::uint8_t* data, std::uint32_t size) {
  return RegSetValueExA(ToHkey(key), ValueName(name), 0, type, data, size);
}

std::int32_t Win32Backend::RegDeleteValue(Handle key, const std::string& name) {
  return RegDeleteValueA(ToHkey(key), ValueName(name));
}

std::int32_t Win32Backend::RegCloseKey(Handle key) { return ::RegCloseKey(ToHkey(key)); }

}  // namespace tarvo
