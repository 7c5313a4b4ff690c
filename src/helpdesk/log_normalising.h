// The launcher's lines found again in a log as mail programs and editors
// leave it: quoted or indented, wrapped, with blanks at the ends of lines
// and other text around it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "helpdesk/log_lines.h"

namespace tarvo {

struct LogLines {
  std::string store;  // the file's text, then the lines joined again
  // The launcher's lines and the stretches of other lines, in their order;
  // an empty line shows only as a gap in the numbers.
  std::vector<LogEntry> entries;
  int fileLines = 0;             // the lines of the file
  bool endsWithLineEnd = false;  // false: its last line may be cut off
  // What the pass mended, for the reading to tell.
  struct Prefix {
    std::string text;  // as it stood before the line
    int lines = 0;
  };
  std::vector<Prefix> prefixes;  // each quote or indent taken off, the most used first
  std::vector<int> rejoined;     // the first line of each line joined again
  std::vector<int> damagedAccents;
  int trailingBlanks = 0;  // lines that ended in blanks the launcher did not write
};

// The lines of `text`, Windows-1252 with its own line ends. Before a line is
// matched, a quote or indent ("> ", ">> ", blanks, a tab) in front of it and
// blanks at its end are taken off. A line that is none of the launcher's
// and follows one that is not whole is joined onto it again, with one
// blank, where the two make one of its lines and the break is where a mail
// program wraps (the next word would not have fit on the line).
LogLines NormaliseLogLines(std::string text);

// An entry's text: a line of the launcher as the file holds it, after its
// quote (joined again where it was wrapped), or a stretch's lines.
std::string_view TextOf(const LogLines& lines, const LogEntry& entry);

// The text without the blanks at its end, as a line is matched.
std::string_view WithoutBlanksAtTheEnd(std::string_view text);

// The lines of a stretch that are not empty, as the file holds them, up to
// `most` of them; `count` gets how many there are in all (up to its first
// empty line only, with `firstBlock`).
std::vector<NumberedLine> StretchLines(const LogLines& lines, const LogEntry& stretch,
                                       std::size_t most, bool firstBlock, std::size_t& count);

}  // namespace tarvo
