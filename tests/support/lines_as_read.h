// Each line of a log as the log reader reads it, for the checks that a
// finding rests on lines that stand there under their numbers.
#pragma once

#include <map>
#include <string>

#include "helpdesk/log_normalising.h"

namespace tarvo {

// The launcher's lines as found again (after their quote, joined where
// wrapped), the others as the file holds them; by their numbers.
inline std::map<int, std::string> LinesAsRead(const LogLines& lines) {
  std::map<int, std::string> read;
  for (const LogEntry& entry : lines.entries) {
    if (entry.kind != LogLineKind::Unknown) {
      read[static_cast<int>(entry.number)] = std::string(TextOf(lines, entry));
      continue;
    }
    std::size_t count = 0;
    for (const NumberedLine& line :
         StretchLines(lines, entry, static_cast<std::size_t>(-1), false, count)) {
      read[line.number] = line.text;
    }
  }
  return read;
}

}  // namespace tarvo
