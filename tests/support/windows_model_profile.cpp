// The model's INI files, read by Wine's rules, and the Windows directory.
#include <optional>

#include "support/windows_model.h"

namespace tarvo {

namespace {

bool IsProfileBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == 0x1A;
}

std::string WithoutBlanks(const std::string& text) {
  std::string::size_type first = 0;
  std::string::size_type end = text.size();
  while (first < end && IsProfileBlank(text[first])) ++first;
  while (end > first && IsProfileBlank(text[end - 1])) --end;
  return text.substr(first, end - first);
}

// The value of `key` in the first section named `section`; none when either
// is missing or the key's first line has no "=".
std::optional<std::string> ProfileValue(const std::string& content, const std::string& section,
                                        const std::string& key) {
  const std::string wantedSection = WindowsModel::CaseFolded(WithoutBlanks(section));
  const std::string wantedKey = WindowsModel::CaseFolded(WithoutBlanks(key));
  bool inSection = false;
  for (std::string::size_type start = 0; start < content.size();) {
    const auto end = std::min(content.find('\n', start), content.size());
    const std::string line = WithoutBlanks(content.substr(start, end - start));
    start = end + 1;
    const auto close = line.rfind(']');
    if (!line.empty() && line[0] == '[' && close != std::string::npos) {
      // Only the first section of a name counts.
      if (inSection) return std::nullopt;
      inSection =
          WindowsModel::CaseFolded(WithoutBlanks(line.substr(1, close - 1))) == wantedSection;
      continue;
    }
    const auto equals = line.find('=');
    if (!inSection || line.empty() ||
        WindowsModel::CaseFolded(WithoutBlanks(line.substr(0, equals))) != wantedKey) {
      continue;
    }
    if (equals == std::string::npos) return std::nullopt;
    return WithoutBlanks(line.substr(equals + 1));
  }
  return std::nullopt;
}

std::string WithoutEnclosingQuotes(const std::string& text) {
  const bool quoted =
      text.size() >= 2 && (text[0] == '"' || text[0] == '\'') && text.back() == text[0];
  return quoted ? text.substr(1, text.size() - 2) : text;
}

}  // namespace

std::uint32_t WindowsModel::GetPrivateProfileString(const std::string& section,
                                                    const std::string& key,
                                                    const std::string& defaultValue,
                                                    std::string& value, std::uint32_t size,
                                                    const std::string& fileName) {
  if (size == 0) return 0;
  const bool bareName = fileName.find_first_of("\\/:") == std::string::npos;
  const auto content = FileContent(bareName ? windowsDirectory_ + "\\" + fileName : fileName);
  std::optional<std::string> found;
  if (content) found = ProfileValue(*content, section, key);
  if (!found) found = defaultValue.substr(0, defaultValue.find_last_not_of(' ') + 1);
  value = WithoutEnclosingQuotes(*found).substr(0, size - 1);
  return static_cast<std::uint32_t>(value.size());
}

void WindowsModel::SetWindowsDirectory(const std::string& path) {
  windowsDirectory_ = path;
  if (!path.empty()) AddFolder(path);
}

std::uint32_t WindowsModel::GetWindowsDirectory(std::string& directory, std::uint32_t size) {
  const auto length = static_cast<std::uint32_t>(windowsDirectory_.size());
  if (length == 0) return 0;
  if (length >= size) return length + 1;
  directory = windowsDirectory_;
  return length;
}

}  // namespace tarvo
