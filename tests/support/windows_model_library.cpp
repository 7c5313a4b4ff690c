// The model's libraries: files with named entry points that tests define.
#include <stdexcept>

#include "support/windows_model.h"

namespace tarvo {

void WindowsModel::AddLibrary(const std::string& path, std::map<std::string, EntryPoint> exports) {
  AddFile(path, "MZ");
  libraries_[KeyOf(path)] = std::move(exports);
}

std::uint32_t WindowsModel::GetSystemDirectory(std::string& directory, std::uint32_t bufferSize) {
  const auto length = static_cast<std::uint32_t>(systemDirectory_.size());
  if (length >= bufferSize) return length + 1;
  directory = systemDirectory_;
  return length;
}

Handle WindowsModel::LoadLibrary(const std::string& path) {
  libraryRequests_.push_back(path);
  const std::string key = KeyOf(path);
  if (!libraries_.count(key) || unloadable_.count(key)) return NoHandle;
  const Handle library = NewHandle();
  loaded_[library] = key;
  return library;
}

std::uintptr_t WindowsModel::GetProcAddress(Handle library, const std::string& name) {
  const auto loaded = loaded_.find(library);
  if (loaded == loaded_.end()) throw std::logic_error("model: GetProcAddress of no library");
  const auto& exports = libraries_[loaded->second];
  const auto entry = exports.find(name);
  if (entry == exports.end()) return 0;
  entryPoints_.push_back(entry->second);
  return entryPoints_.size();
}

std::int32_t WindowsModel::CallEntryPoint(std::uintptr_t entry) {
  if (entry == 0 || entry > entryPoints_.size()) throw std::logic_error("model: no entry point");
  return entryPoints_[entry - 1]();
}

void WindowsModel::FreeLibrary(Handle library) {
  if (loaded_.erase(library) == 0) throw std::logic_error("model: FreeLibrary of no library");
}

}  // namespace tarvo
