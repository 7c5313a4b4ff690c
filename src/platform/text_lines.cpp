#include "platform/text_lines.h"

#include <algorithm>

namespace tarvo {

std::vector<std::string> TextLines(const std::string& text) {
  const std::string content = text.substr(0, text.find('\0'));
  std::vector<std::string> lines;
  for (std::string::size_type start = 0; start < content.size();) {
    const auto lineEnd = std::min(content.find_first_of("\r\n", start), content.size());
    lines.push_back(content.substr(start, lineEnd - start));
    start = lineEnd + (content.compare(lineEnd, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

std::string CrLfText(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

}  // namespace tarvo
