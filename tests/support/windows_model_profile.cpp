// The model's INI files, read by Wine's rules, and the Windows directory.
#include <algorithm>
#include <optional>
#include <string_view>

#include "support/windows_model.h"

namespace tarvo {

namespace {

bool IsProfileBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == 0x1A;
}

std::string_view WithoutBlanks(std::string_view text) {
  while (!text.empty() && IsProfileBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsProfileBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The value of `key` in the first section named `section`; none when either
// is missing or the key's first line has no "=".
std::optional<std::string> ProfileValue(std::string_view content, std::string_view section,
                                        std::string_view key) {
  const std::string_view wantedSection = WithoutBlanks(section);
  const std::string_view wantedKey = WithoutBlanks(key);
  bool inSection = false;
  while (!content.empty()) {
    const auto end = std::min(content.find('\n'), content.size());
    const std::string_view line = WithoutBlanks(content.substr(0, end));
    content.remove_prefix(std::min(end + 1, content.size()));
    const auto close = !line.empty() && line[0] == '[' ? line.rfind(']') : std::string_view::npos;
    if (close != std::string_view::npos) {
      // Only the first section of a name counts.
      if (inSection) return std::nullopt;
      inSection =
          WindowsModel::EqualWithoutCase(WithoutBlanks(line.substr(1, close - 1)), wantedSection);
      continue;
    }
    const auto equals = line.find('=');
    if (!inSection || line.empty() ||
        !WindowsModel::EqualWithoutCase(WithoutBlanks(line.substr(0, equals)), wantedKey)) {
      continue;
    }
    if (equals == std::string_view::npos) return std::nullopt;
    return std::string(WithoutBlanks(line.substr(equals + 1)));
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
  const Entry* file = Find(bareName ? windowsDirectory_ + "\\" + fileName : fileName);
  std::optional<std::string> found;
  if (file && !(file->attributes & FileAttributeDirectory)) {
    found = ProfileValue(file->content, section, key);
  }
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
