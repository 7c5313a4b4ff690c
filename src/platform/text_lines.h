// Texts as lists of lines, the way the product reads templates and writes
// pages and logs.
#pragma once

#include <string>
#include <vector>

namespace tarvo {

// The lines of `text`, split at CR, at LF and at CR LF (one line end). The
// text ends at its first NUL; a line end at its very end starts no further
// line.
std::vector<std::string> TextLines(const std::string& text);

// The lines as one text, each followed by CR LF, the last one too.
std::string CrLfText(const std::vector<std::string>& lines);

}  // namespace tarvo
