// A reader's LMRSTART.LOG as it reaches the helpdesk, after mail programs and
// editors: its bytes back as the launcher's Windows-1252 text.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tarvo {

enum class LogTextProblem { None, Empty, Binary };

struct LogText {
  LogTextProblem problem = LogTextProblem::None;
  std::string text;         // Windows-1252, with the file's own line ends
  std::string encoding;     // "Windows-1252", or the encoding it was turned back from
  std::string lineEnds;     // "CR LF", "LF", "CR", "mixed" or "none"
  std::size_t padding = 0;  // zero bytes after the text, left out
  // Lines (from 1) of UTF-8 text that hold a byte that is no UTF-8, read as
  // Windows-1252; lines whose decomposed accents were put together.
  std::vector<int> strayBytes;
  std::vector<int> composedAccents;
};

// UTF-8 (with or without its mark, a stray byte read as Windows-1252) and
// UTF-16 (with its mark, or known by its zero bytes) are turned back into
// Windows-1252: a letter and its combining accent into the accented letter,
// a character Windows-1252 lacks into "?". Zero bytes after the text are
// padding and left out. A file of nothing but blanks and line ends is empty;
// one that holds a zero byte in its text is binary, which no log is. The
// bytes are taken over, so that a large file is not held twice.
LogText DecodeLogText(std::string bytes);

}  // namespace tarvo
