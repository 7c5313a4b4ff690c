// The model's registry: HKEY_CLASSES_ROOT and HKEY_CURRENT_USER as trees of
// keys with typed values; names are kept as written and compared without
// regard to case.
#include <algorithm>

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

// Empty parts of `subKey` (a doubled or final "\\") count for nothing;
// none for a parent that is no open key.
std::optional<std::string> WindowsModel::KeyPath(Handle parent, const std::string& subKey) const {
  std::string path = RootName(parent);
  if (path.empty()) {
    const OpenKey* open = OpenKeyOf(parent);
    if (!open) return std::nullopt;
    path = registry_.at(open->path).path;
  }
  std::string::size_type start = 0;
  while (start <= subKey.size()) {
    const auto end = std::min(subKey.find('\\', start), subKey.size());
    if (end > start) {
      const std::string below = path + "\\" + subKey.substr(start, end - start);
      const auto existing = registry_.find(CaseFolded(below));
      path = existing == registry_.end() ? below : existing->second.path;
    }
    start = end + 1;
  }
  return path;
}

void WindowsModel::CreateRegistryKey(const std::string& path) {
  for (std::string::size_type end = 0; end != std::string::npos;) {
    end = path.find('\\', end + 1);
    RegistryKey& key = registry_[CaseFolded(path.substr(0, end))];
    if (key.path.empty()) key.path = path.substr(0, end);
  }
}

void WindowsModel::StoreValue(const std::string& foldedKey, const std::string& name,
                              RegistryValue value) {
  auto& values = registry_[foldedKey].values;
  values.try_emplace(CaseFolded(name), StoredValue{name, {}}).first->second.value = std::move(value);
}

const WindowsModel::OpenKey* WindowsModel::OpenKeyOf(Handle key) const {
  const auto open = openKeys_.find(key);
  return open == openKeys_.end() ? nullptr : &open->second;
}

std::int32_t WindowsModel::OpenRegistryKey(Handle parent, const std::string& subKey,
                                           std::uint32_t access, bool create, Handle& key) {
  const auto path = KeyPath(parent, subKey);
  if (!path) return RegistryBadHandle;
  const std::string folded = CaseFolded(*path);
  if (deniedKeys_.count(folded)) return RegistryDenied;
  if (readOnlyKeys_.count(folded) && Grants(access, KeySetValue)) return RegistryDenied;
  if (!registry_.count(folded)) {
    if (!create) return RegistryNotFound;
    CreateRegistryKey(*path);
  }
  key = NewHandle();
  openKeys_[key] = {folded, Grants(access, KeySetValue)};
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
  const auto& values = registry_[open->path].values;
  const auto found = values.find(CaseFolded(name));
  if (found == values.end()) return RegistryNotFound;
  const RegistryValue& value = found->second.value;
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
  StoreValue(open->path, name, {type, std::vector<std::uint8_t>(data, data + size)});
  registryChanges_.push_back(registry_[open->path].path);
  return RegistrySuccess;
}

std::int32_t WindowsModel::RegDeleteValue(Handle key, const std::string& name) {
  const OpenKey* open = OpenKeyOf(key);
  if (!open) return RegistryBadHandle;
  if (!open->writable) return RegistryDenied;
  RegistryKey& stored = registry_[open->path];
  if (!stored.values.erase(CaseFolded(name))) return RegistryNotFound;
  registryChanges_.push_back(stored.path);
  return RegistrySuccess;
}

std::int32_t WindowsModel::RegCloseKey(Handle key) {
  if (!RootName(key).empty()) return RegistrySuccess;
  return openKeys_.erase(key) ? RegistrySuccess : RegistryBadHandle;
}

void WindowsModel::SetRegistryValue(Handle root, const std::string& key, const std::string& name,
                                    std::uint32_t type, std::vector<std::uint8_t> data) {
  const std::string path = *KeyPath(root, key);
  CreateRegistryKey(path);
  StoreValue(CaseFolded(path), name, {type, std::move(data)});
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
  deniedKeys_.insert(CaseFolded(*KeyPath(root, key)));
}

void WindowsModel::DenyRegistryChanges(Handle root, const std::string& key) {
  readOnlyKeys_.insert(CaseFolded(*KeyPath(root, key)));
}

const WindowsModel::RegistryKey* WindowsModel::RegistryKeyOf(Handle root,
                                                             const std::string& key) const {
  const auto found = registry_.find(CaseFolded(*KeyPath(root, key)));
  return found == registry_.end() ? nullptr : &found->second;
}

bool WindowsModel::RegistryKeyExists(Handle root, const std::string& key) const {
  return RegistryKeyOf(root, key) != nullptr;
}

std::optional<RegistryValue> WindowsModel::RegistryValueOf(Handle root, const std::string& key,
                                                           const std::string& name) const {
  const RegistryKey* stored = RegistryKeyOf(root, key);
  if (!stored) return std::nullopt;
  const auto value = stored->values.find(CaseFolded(name));
  if (value == stored->values.end()) return std::nullopt;
  return value->second.value;
}

std::optional<std::string> WindowsModel::RegistryKeyAsWritten(Handle root,
                                                              const std::string& key) const {
  const RegistryKey* stored = RegistryKeyOf(root, key);
  if (!stored) return std::nullopt;
  return stored->path.substr(std::min(stored->path.size(), RootName(root).size() + 1));
}

std::vector<std::string> WindowsModel::RegistryValueNames(Handle root,
                                                          const std::string& key) const {
  std::vector<std::string> names;
  if (const RegistryKey* stored = RegistryKeyOf(root, key)) {
    for (const auto& [folded, value] : stored->values) names.push_back(value.name);
  }
  return names;
}

}  // namespace tarvo
