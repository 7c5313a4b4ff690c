// A reader's LMRSTART.LOG as it reaches the helpdesk, after mail programs and
// editors: its bytes back as the launcher's lines of Windows-1252 text.
#pragma once

#include <string>
#include <vector>

namespace tarvo {

enum class LogTextProblem { None, Empty, Binary };

struct LogText {
  LogTextProblem problem = LogTextProblem::None;
  std::vector<std::string> lines;  // Windows-1252, without their line ends
  std::string encoding;            // "Windows-1252", or the encoding it was turned back from
  std::string lineEnds;            // "CR LF", "LF", "CR", "mixed" or "none"
  bool endsWithLineEnd = false;    // false: the last line may be cut off
};

// UTF-8 (with or without its mark) and UTF-16 with its mark are turned back
// into Windows-1252, a character it lacks into "?"; CR LF, LF and CR all end
// a line. A file of nothing but blanks and line ends is empty; one that holds
// a zero byte once decoded is binary, which no log is.
LogText DecodeLogText(const std::string& bytes);

}  // namespace tarvo
