#include "check/ini_layout.h"

#include <algorithm>

#include "platform/ascii_case.h"

namespace tarvo {

namespace {

std::string WithoutBlanks(const std::string& text) {
  const char* const blanks = " \t\r\v\f";
  const auto first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace

IniLayout::IniLayout(const std::string& text) {
  int number = 0;
  for (std::string::size_type start = 0; start < text.size();) {
    const auto end = std::min(text.find('\n', start), text.size());
    const std::string line = WithoutBlanks(text.substr(start, end - start));
    start = end + 1;
    ++number;
    const auto close = line.rfind(']');
    if (!line.empty() && line[0] == '[' && close != std::string::npos) {
      sections_.push_back({WithoutBlanks(line.substr(1, close - 1)), number, {}});
    } else if (!sections_.empty() && line.find('=') != std::string::npos && line[0] != ';') {
      sections_.back().keys.push_back({WithoutBlanks(line.substr(0, line.find('='))), number});
    }
  }
}

bool IniLayout::SameName(const std::string& first, const std::string& second) {
  return AsciiUpperCase(WithoutBlanks(first)) == AsciiUpperCase(WithoutBlanks(second));
}

const IniLayout::Section* IniLayout::FirstSection(const std::string& name) const {
  for (const Section& section : sections_) {
    if (SameName(section.name, name)) return &section;
  }
  return nullptr;
}

int IniLayout::SectionLine(const std::string& section) const {
  const Section* found = FirstSection(section);
  return found ? found->line : 0;
}

int IniLayout::KeyLine(const std::string& section, const std::string& key) const {
  for (const Key& candidate : Keys(section)) {
    if (SameName(candidate.name, key)) return candidate.line;
  }
  return 0;
}

std::vector<IniLayout::Key> IniLayout::Keys(const std::string& section) const {
  const Section* found = FirstSection(section);
  return found ? found->keys : std::vector<Key>{};
}

}  // namespace tarvo
