// tarvo-check log: a reader's LMRSTART.LOG read back by the launcher's own
// lines, as the run it records and each problem it shows, with what that
// means and what to tell the reader.
#pragma once

#include <string>
#include <vector>

#include "helpdesk/log_lines.h"
#include "helpdesk/log_text.h"

namespace tarvo {

// One fact of the run, such as ("code", "IE5"). A key may repeat, as
// "candidate" does for each browser the search found.
struct LogFact {
  std::string key;
  std::string value;
};

struct LogSection {
  std::string name;
  std::vector<LogFact> facts;
};

struct LogFinding {
  std::string code;                 // stable, such as "no-browser-registered"
  std::vector<NumberedLine> lines;  // the lines it rests on
  std::string meaning;              // in Dutch, as the helpdesk writes to readers
  std::string advice;               // in Dutch, for the reader
};

struct LogReading {
  bool launcherLog = false;  // false: no line is one the launcher writes
  int runs = 0;              // of the launcher in the file; the last is read
  // "log" about the file first, then the parts of the run in its order.
  std::vector<LogSection> sections;
  std::vector<LogFinding> findings;  // in the order of the run
};

// `text` must be without a LogTextProblem. Its lines are found again as
// NormaliseLogLines does; each run of the launcher in it is read, and the
// last one is told in full.
LogReading ReadLauncherLog(LogText text);

// The value of the fact `key` of `section`; empty when there is none.
std::string FactOf(const LogReading& reading, const std::string& section, const std::string& key);

}  // namespace tarvo
