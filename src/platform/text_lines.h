// Texts as lists of lines, the way the product reads templates and writes
// pages and logs.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// The line of a text that begins at `start`: where it ends, and where the
// next one begins, after its line end (CR, LF or CR LF).
struct LineSpan {
  std::size_t end;
  std::size_t next;
};
LineSpan LineAt(std::string_view text, std::size_t start);

// The lines of `text`, split at CR, at LF and at CR LF (one line end). The
// text ends at its first NUL; a line end at its very end starts no further
// line.
std::vector<std::string> TextLines(const std::string& text);

// The lines as one text, each followed by CR LF, the last one too.
std::string CrLfText(const std::vector<std::string>& lines);

}  // namespace tarvo
