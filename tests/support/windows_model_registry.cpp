// The model's registry: HKEY_CLASSES_ROOT and HKEY_CURRENT_USER as trees of
// keys with typed values, names compared without regard to case.
#include <algorithm>
#include <cstring>

#include "platform/ascii_case.h"
#include "support/windows_model.h"

namespace tarvo {

namespace {

std::string RootName(Handle root) {
  if (root == HkeyClassesRoot) return "HKCR";
  if (root == HkeyCurrentUser) return "HKCU";
  return "";
}

bool Grants(std::uint32_t access, std::uint32_t wanted) { return (access & wanted) == wanted; }

constexpr std::uint32_t KeySetValue = 0x0002;

}  // namespace

// The full path of `subKey` below `parent`, or none for a parent that is no
// open key. Empty parts (a doubled or final "\") count for nothing.
std::optional<std::string> WindowsModel::KeyPath(Handle parent, const std::string& subKey) const {
  std::string path = RootName(parent);
  if (path.empty()) {
    const OpenKey* open = OpenKeyOf(parent);
    if (!open) return std::nullopt;
    path = open->path;
  }
  std::string::size_type start = 0;
  while (start <= subKey.size()) {
    const auto end = std::min(subKey.find('\\', start), subKey.size());
    if (end > start) path += "\\" + AsciiUpperCase(subKey.substr(start, end - start));
    start = end + 1;
  }
  return path;
}

const WindowsModel::OpenKey* WindowsModel::OpenKeyOf(Handle key) const {
  const auto open = openKeys_.find(key);
  return open == openKeys_.end() ? nullptr : &open->second;
}

std::int32_t WindowsModel::OpenRegistryKey(Handle parent, const std::string& subKey,
                                           std::uint32_t access, bool create, Handle& key) {
  const auto path = KeyPath(parent, subKey);
  if (!path) return RegistryBadHandle;
  if (deniedKeys_.count(*path)) return RegistryDenied;
  if (readOnlyKeys_.count(*path) && Grants(access, KeySetValue)) return RegistryDenied;
  if (!registry_.count(*path)) {
    if (!create) return RegistryNotFound;
    for (std::string above = *path; above.find('\\') != std::string::npos;
         above = above.substr(0, above.rfind('\\'))) {
      registry_[above];
    }
  }
  key = NewHandle();
  openKeys_[key] = {*path, Grants(access, KeySetValue)};
  return RegistrySuccess;
}

std::int32_t WindowsModel::RegCreateKeyEx(Handle parent, const std::string& subKey,
                                          std::uint32_t access, Handle& key) {
  return OpenRegistryKey(parent, subKey, access, true, key);
}

std::int32_t WindowsModel::RegOpenKeyEx(Handle parent, const std::string& subKey,
                                        std::uint32_t access, Handle& key) {
  return OpenRegistryKey(parent, subKey, access, false, key);
}

std::int32_t WindowsModel::RegQueryValueEx(Handle key, const std::string& name, std::uint32_t& type,
                                           std::uint8_t* data, std::uint32_t& size) {
  const OpenKey* open = OpenKeyOf(key);
  if (!open) return RegistryBadHandle;
  const auto& values = registry_[open->path];
  const auto found = values.find(AsciiUpperCase(name));
  if (found == values.end()) return RegistryNotFound;
  const RegistryValue& value = found->second;
  const auto needed = static_cast<std::uint32_t>(value.data.size());
  type = value.type;
  if (data && size < needed) {
    size = needed;
    return RegistryMoreData;
  }
  if (data) std::copy(value.data.begin(), value.data.end(), data);
  size = needed;
  return RegistrySuccess;
}

std::int32_t WindowsModel::RegSetValueEx(Handle key, const std::string& name, std::uint32_t type,
                                         const std::uint8_t* data, std::uint32_t size) {
  const OpenKey* open = OpenKeyOf(key);
  if (!open) return RegistryBadHandle;
  if (!open->writable) return RegistryDenied;
  registry_[open->path][AsciiUpperCase(name)] = {type,
                                                 std::vector<std::uint8_t>(data, data + size)};
  return RegistrySuccess;
}

std::int32_t WindowsModel::RegDeleteValue(Handle key, const std::string& name) {
  const OpenKey* open = OpenKeyOf(key);
  if (!open) return RegistryBadHandle;
  if (!open->writable) return RegistryDenied;
  return registry_[open->path].erase(AsciiUpperCase(name)) ? RegistrySuccess : RegistryNotFound;
}

std::int32_t WindowsModel::RegCloseKey(Handle key) {
  if (!RootName(key).empty()) return RegistrySuccess;
  return openKeys_.erase(key) ? RegistrySuccess : RegistryBadHandle;
}

void WindowsModel::SetRegistryValue(Handle root, const std::string& key, const std::string& name,
                                    std::uint32_t type, std::vector<std::uint8_t> data) {
  Handle opened = NoHandle;
  OpenRegistryKey(root, key, KeyAllAccess, true, opened);
  registry_[openKeys_[opened].path][AsciiUpperCase(name)] = {type, std::move(data)};
  openKeys_.erase(opened);
}

std::vector<std::uint8_t> RegistryTextData(const std::string& text) {
  std::vector<std::uint8_t> data(text.begin(), text.end());
  data.push_back(0);
  return data;
}

void WindowsModel::SetRegistryText(Handle root, const std::string& key, const std::string& name,
                                   const std::string& text) {
  SetRegistryValue(root, key, name, RegSz, RegistryTextData(text));
}

void WindowsModel::SetRegistryDword(Handle root, const std::string& key, const std::string& name,
                                    std::uint32_t value) {
  std::vector<std::uint8_t> data(4);
  for (int i = 0; i < 4; ++i) data[i] = static_cast<std::uint8_t>(value >> (8 * i));
  SetRegistryValue(root, key, name, RegDword, std::move(data));
}

void WindowsModel::DenyRegistryKey(Handle root, const std::string& key) {
  deniedKeys_.insert(*KeyPath(root, key));
}

void WindowsModel::DenyRegistryChanges(Handle root, const std::string& key) {
  readOnlyKeys_.insert(*KeyPath(root, key));
}

bool WindowsModel::RegistryKeyExists(Handle root, const std::string& key) const {
  return registry_.count(*KeyPath(root, key)) > 0;
}

std::optional<RegistryValue> WindowsModel::RegistryValueOf(Handle root, const std::string& key,
                                                           const std::string& name) const {
  const auto values = registry_.find(*KeyPath(root, key));
  if (values == registry_.end()) return std::nullopt;
  const auto value = values->second.find(AsciiUpperCase(name));
  if (value == values->second.end()) return std::nullopt;
  return value->second;
}

}  // namespace tarvo
