// A reader's log as arbitrary bytes: its decoding, the recognition of the
// launcher's lines, the reading of the run and both forms of the output.
// Every finding must rest on lines that stand in the text under their
// numbers.
#include <cstdlib>
#include <sstream>

#include "helpdesk/log_reading.h"
#include "helpdesk/log_report.h"
#include "helpdesk/log_text.h"
#include "fuzz_world.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const tarvo::LogText text = tarvo::DecodeLogText(tarvo::Text(data, size));
  if (text.problem != tarvo::LogTextProblem::None) return 0;
  const tarvo::LogReading reading = tarvo::ReadLauncherLog(text);
  if (!reading.launcherLog && !reading.findings.empty()) std::abort();
  for (const tarvo::LogFinding& finding : reading.findings) {
    if (finding.lines.empty() || finding.meaning.empty() || finding.advice.empty()) std::abort();
    for (const tarvo::NumberedLine& line : finding.lines) {
      if (line.number < 1 || static_cast<std::size_t>(line.number) > text.lines.size() ||
          text.lines[line.number - 1] != line.text) {
        std::abort();
      }
    }
  }
  std::ostringstream out;
  tarvo::WriteLogReadingText(reading, "C:\\LMRSTART.LOG", out);
  tarvo::WriteLogReadingJson(reading, "C:\\LMRSTART.LOG", out);
  return 0;
}
