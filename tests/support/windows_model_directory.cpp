// The model's directories: listings, directory links, renaming and deleting.
#include <stdexcept>

#include "platform/ascii_case.h"
#include "platform/path_names.h"
#include "support/windows_model.h"

namespace tarvo {

namespace {

constexpr const char* AllEntries = "\\*.*";
constexpr int MostLinksFollowed = 32;

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

FindData FolderEntry(const std::string& name) {
  return {FileAttributeDirectory, WindowsModel::Now, name};
}

}  // namespace

void WindowsModel::AddDirectoryLink(const std::string& path, const std::string& target) {
  std::string folder = AsciiUpperCase(target);
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  if (!IsFolder(folder))
    throw std::logic_error("model: a link needs an existing folder: " + target);
  AddFolder(ParentOf(path));
  entries_[AsciiUpperCase(path)] = {FileAttributeDirectory | FileAttributeReparsePoint, Now, "",
                                    ExtractFileName(path), ResolvedKey(folder)};
}

void WindowsModel::DenyListing(const std::string& folder) {
  unlistable_.insert(ResolvedKey(AsciiUpperCase(folder)));
}

std::string WindowsModel::ResolvedKey(const std::string& key) const {
  std::string resolved;
  int linksFollowed = 0;
  for (std::string::size_type start = 0; start <= key.size();) {
    const auto end = std::min(key.find('\\', start), key.size());
    resolved += (resolved.empty() ? "" : "\\") + key.substr(start, end - start);
    const auto entry = entries_.find(resolved);
    if (entry != entries_.end() && !entry->second.linkTarget.empty()) {
      if (++linksFollowed > MostLinksFollowed) return "";
      resolved = entry->second.linkTarget;
    }
    start = end + 1;
  }
  return resolved;
}

std::vector<FindData> WindowsModel::Matches(const std::string& pattern) const {
  if (EndsWith(pattern, AllEntries)) {
    return FolderListing(pattern.substr(0, pattern.size() - std::string(AllEntries).size()));
  }
  if (pattern.find_first_of("*?") != std::string::npos) {
    throw std::logic_error("model: only the wildcard pattern folder\\*.* is modelled: " + pattern);
  }
  const Entry* entry = Find(pattern);
  if (!entry) return {};
  return {{entry->attributes, entry->lastWriteTime, entry->name}};
}

std::vector<FindData> WindowsModel::FolderListing(const std::string& folder) const {
  const std::string key = ResolvedKey(AsciiUpperCase(folder));
  const auto entry = entries_.find(key);
  if (entry == entries_.end() || !(entry->second.attributes & FileAttributeDirectory) ||
      unlistable_.count(key)) {
    return {};
  }
  std::vector<FindData> listing;
  // A drive's root has neither.
  if (key.find('\\') != std::string::npos) listing = {FolderEntry("."), FolderEntry("..")};
  const std::string prefix = key + "\\";
  for (auto child = entries_.lower_bound(prefix);
       child != entries_.end() && child->first.compare(0, prefix.size(), prefix) == 0; ++child) {
    if (child->first.find('\\', prefix.size()) != std::string::npos) continue;
    listing.push_back({child->second.attributes, child->second.lastWriteTime, child->second.name});
  }
  return listing;
}

bool WindowsModel::FindNextFile(Handle search, FindData& data) {
  const auto open = openSearches_.find(search);
  if (open == openSearches_.end()) {
    throw std::logic_error("model: FindNextFile of a handle that is not open");
  }
  std::vector<FindData>& remaining = open->second;
  if (remaining.empty()) return false;
  data = remaining.front();
  remaining.erase(remaining.begin());
  return true;
}

bool WindowsModel::MoveFileEx(const std::string& existing, const std::string& newName,
                              std::uint32_t flags) {
  const std::string from = AsciiUpperCase(existing);
  const std::string to = AsciiUpperCase(newName);
  const Entry* source = Find(from);
  const Entry* target = Find(to);
  if (refuseMoves_ || !source || (source->attributes & FileAttributeDirectory) ||
      IsOpen(from, false) || !IsFolder(ParentOf(to)) ||
      (!target && newFilesDenied_.count(ResolvedKey(ParentOf(to))))) {
    return false;
  }
  if (target) {
    const std::uint32_t refusing =
        FileAttributeDirectory | (movesReplaceReadOnly_ ? 0 : FileAttributeReadOnly);
    if (!(flags & MoveFileReplaceExisting) || (target->attributes & refusing) ||
        IsOpen(to, false)) {
      return false;
    }
  }
  Entry moved = *source;
  moved.name = ExtractFileName(newName);
  entries_.erase(from);
  entries_[to] = std::move(moved);
  return true;
}

bool WindowsModel::DeleteFile(const std::string& path) {
  const std::string key = AsciiUpperCase(path);
  const Entry* entry = Find(key);
  constexpr std::uint32_t refusing = FileAttributeDirectory | FileAttributeReadOnly;
  if (!entry || (entry->attributes & refusing) || IsOpen(key, false)) return false;
  entries_.erase(key);
  return true;
}

}  // namespace tarvo
