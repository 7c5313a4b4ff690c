// tarvo-check log on a mailbox of logs: one line for each file, then what
// the logs have in common, so that the editors see what went wrong most
// often; or all of it as one JSON object.
#pragma once

#include <map>
#include <ostream>
#include <string>

#include "helpdesk/log_reading.h"

namespace tarvo {

class LogMailbox {
 public:
  LogMailbox(bool json, std::ostream& out) : json_(json), out_(out) {}

  // Each file as it is read: a launcher log, or why it is none.
  void AddLog(const std::string& file, const LogReading& reading);
  void AddNoLog(const std::string& file, const std::string& why);
  // Text: how many files and logs, then the logs with each finding code,
  // the browsers and the outcomes, the most frequent first. JSON:
  // {"logs": [{...one log as for one file, or "file" and "problem"}, ...],
  //  "summary": {"files", "logs", "no_logs", "findings": {code: logs},
  //  "browsers": {...}, "outcomes": {...}}}.
  void WriteSummary();

  bool AnyLog() const { return logs_ > 0; }
  bool AnyFinding() const { return withFindings_ > 0; }

 private:
  using Counts = std::map<std::string, int>;
  void Separate();
  void WriteCountsText(const char* title, const Counts& counts) const;
  void WriteCountsJson(const char* key, const Counts& counts) const;

  const bool json_;
  std::ostream& out_;
  int files_ = 0;
  int logs_ = 0;
  int withFindings_ = 0;
  Counts findings_;  // logs with each finding code
  Counts browsers_;
  Counts outcomes_;
};

}  // namespace tarvo
