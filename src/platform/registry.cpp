#include "platform/registry.h"

#include <algorithm>

namespace tarvo {

namespace {

std::string Quoted(const char* what, const std::string& name) {
  return std::string(what) + " '" + name + "'";
}

}  // namespace

RegistryAccessor::RegistryAccessor(Handle root) : root_(root) {}

RegistryAccessor::~RegistryAccessor() { CloseKey(); }

bool RegistryAccessor::OpenKey(const std::string& path) { return Open(path, KeyAllAccess, true); }

bool RegistryAccessor::OpenKeyReadOnly(const std::string& path) {
  return Open(path, KeyRead, false);
}

bool RegistryAccessor::Open(const std::string& path, std::uint32_t access, bool create) {
  const bool fromRoot = !path.empty() && path.front() == '\\';
  const Handle parent = fromRoot || key_ == NoHandle ? root_ : key_;
  const std::string subKey = fromRoot ? path.substr(1) : path;
  Handle opened = NoHandle;
  const std::int32_t result = create ? Api().RegCreateKeyEx(parent, subKey, access, opened)
                                     : Api().RegOpenKeyEx(parent, subKey, access, opened);
  if (result != RegistrySuccess) return false;
  CloseKey();
  key_ = opened;
  return true;
}

void RegistryAccessor::CloseKey() {
  if (key_ == NoHandle) return;
  Api().RegCloseKey(key_);
  key_ = NoHandle;
}

bool RegistryAccessor::ValueExists(const std::string& name) const {
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  return Api().RegQueryValueEx(key_, name, type, nullptr, size) == RegistrySuccess;
}

bool RegistryAccessor::HoldsText(const std::string& name, const std::string& text) const {
  std::vector<std::uint8_t> data(text.size() + 1);
  std::uint32_t type = 0;
  auto size = static_cast<std::uint32_t>(data.size());
  return Api().RegQueryValueEx(key_, name, type, data.data(), size) == RegistrySuccess &&
         type == RegSz && size == data.size() && data.back() == 0 &&
         std::equal(text.begin(), text.end(), data.begin());
}

std::int32_t RegistryAccessor::ReadInteger(const std::string& name) const {
  // Zeroed, so that a value shorter than 4 bytes reads the same on every run.
  std::uint8_t data[4] = {};
  std::uint32_t type = 0;
  std::uint32_t size = sizeof data;
  if (Api().RegQueryValueEx(key_, name, type, data, size) != RegistrySuccess) {
    throw ERegistryException(Quoted("Failed to get data for", name));
  }
  if (type != RegDword) throw ERegistryException(Quoted("Invalid data type for", name));
  const std::uint32_t value =
      data[0] | data[1] << 8 | data[2] << 16 | static_cast<std::uint32_t>(data[3]) << 24;
  return static_cast<std::int32_t>(value);
}

void RegistryAccessor::WriteString(const std::string& name, const std::string& text) {
  Write(name, RegSz, reinterpret_cast<const std::uint8_t*>(text.c_str()),
        static_cast<std::uint32_t>(text.size() + 1));
}

void RegistryAccessor::WriteBinary(const std::string& name, const std::vector<std::uint8_t>& data) {
  Write(name, RegBinary, data.data(), static_cast<std::uint32_t>(data.size()));
}

void RegistryAccessor::Write(const std::string& name, std::uint32_t type, const std::uint8_t* data,
                             std::uint32_t size) {
  if (Api().RegSetValueEx(key_, name, type, data, size) != RegistrySuccess) {
    throw ERegistryException(Quoted("Failed to set data for", name));
  }
}

bool RegistryAccessor::DeleteValue(const std::string& name) {
  return Api().RegDeleteValue(key_, name) == RegistrySuccess;
}

}  // namespace tarvo
