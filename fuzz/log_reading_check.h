// What the log reader must hold to on any input, for the fuzz targets that
// feed it: a finding rests on lines that stand in the text as read under
// their numbers, with a meaning and advice; no finding without a log; both
// forms of the output written.
#pragma once

#include <cstdlib>
#include <map>
#include <sstream>
#include <string>

#include "helpdesk/log_normalising.h"
#include "helpdesk/log_reading.h"
#include "helpdesk/log_report.h"
#include "helpdesk/log_text.h"
#include "support/lines_as_read.h"

namespace tarvo {

inline void CheckLogReading(std::string bytes) {
  LogText text = DecodeLogText(std::move(bytes));
  if (text.problem != LogTextProblem::None) return;
  const std::map<int, std::string> read = LinesAsRead(NormaliseLogLines(text.text));
  const LogReading reading = ReadLauncherLog(std::move(text));
  if (!reading.launcherLog && !reading.findings.empty()) std::abort();
  for (const LogFinding& finding : reading.findings) {
    if (finding.lines.empty() || finding.meaning.empty() || finding.advice.empty()) std::abort();
    for (const NumberedLine& line : finding.lines) {
      const auto found = read.find(line.number);
      if (found == read.end() || found->second != line.text) std::abort();
    }
  }
  std::ostringstream out;
  WriteLogReadingText(reading, "C:\\LMRSTART.LOG", out);
  WriteLogReadingJson(reading, "C:\\LMRSTART.LOG", out);
}

}  // namespace tarvo
