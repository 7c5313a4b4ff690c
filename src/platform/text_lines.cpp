#include "platform/text_lines.h"

#include <algorithm>

namespace tarvo {

LineSpan LineAt(std::string_view text, std::size_t start) {
  const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
  return {end, end + (text.compare(end, 2, "\r\n") == 0 ? 2 : end < text.size() ? 1 : 0)};
}

std::vector<std::string> TextLines(const std::string& text) {
  const std::string_view content = std::string_view(text).substr(0, text.find('\0'));
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < content.size();) {
    const LineSpan line = LineAt(content, start);
    lines.emplace_back(content.substr(start, line.end - start));
    start = line.next;
  }
  return lines;
}

std::string CrLfText(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

}  // namespace tarvo
