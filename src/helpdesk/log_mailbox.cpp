#include "helpdesk/log_mailbox.h"

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "helpdesk/log_report.h"
#include "platform/json_string.h"
#include "platform/path_names.h"

namespace tarvo {

namespace {

// The browser HTML files open in, as the log names it: its file, version
// and code ("webkijk.exe 6.00.2800.1106 (ONB)"); empty where it does not.
std::string BrowserOf(const LogReading& reading) {
  std::string path = FactOf(reading, "browser", "registered_browser");
  if (path.empty()) return "";
  const std::string missing = " (missing)";
  if (path.size() > missing.size() &&
      path.compare(path.size() - missing.size(), missing.size(), missing) == 0) {
    path.resize(path.size() - missing.size());
  }
  const std::string version = FactOf(reading, "browser", "version");
  const std::string code = FactOf(reading, "browser", "code");
  return ExtractFileName(path) + (version.empty() ? "" : " " + version) +
         (code.empty() ? "" : " (" + code + ")");
}

// The most frequent first; of equal ones, in the order of their names.
std::vector<std::pair<std::string, int>> ByFrequency(const std::map<std::string, int>& counts) {
  std::vector<std::pair<std::string, int>> sorted(counts.begin(), counts.end());
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const auto& a, const auto& b) { return a.second > b.second; });
  return sorted;
}

std::string Logs(int count) { return std::to_string(count) + (count == 1 ? " log" : " logs"); }

}  // namespace

void LogMailbox::Separate() {
  if (!json_) return;
  out_ << (files_ == 0 ? "{\"logs\": [\n" : ",\n");
}

void LogMailbox::AddLog(const std::string& file, const LogReading& reading) {
  Separate();
  ++files_;
  ++logs_;
  std::set<std::string> codes;
  std::string told;
  for (const LogFinding& finding : reading.findings) {
    if (codes.insert(finding.code).second) told += (told.empty() ? "" : ", ") + finding.code;
  }
  withFindings_ += !codes.empty();
  for (const std::string& code : codes) ++findings_[code];
  const std::string outcome = FactOf(reading, "log", "outcome");
  ++outcomes_[outcome];
  if (const std::string browser = BrowserOf(reading); !browser.empty()) ++browsers_[browser];
  if (json_) {
    WriteLogReadingJson(reading, file, out_);
  } else {
    out_ << file << ": " << outcome << "; " << (told.empty() ? "no problem found" : told) << '\n';
  }
}

void LogMailbox::AddNoLog(const std::string& file, const std::string& why) {
  Separate();
  ++files_;
  if (json_) {
    out_ << "{\"file\": " << JsonString(file) << ", \"problem\": " << JsonString(why) << '}';
  } else {
    out_ << file << ": " << why << '\n';
  }
}

void LogMailbox::WriteCountsText(const char* title, const Counts& counts) const {
  if (counts.empty()) return;
  out_ << '\n' << title << '\n';
  for (const auto& [name, count] : ByFrequency(counts)) {
    out_ << "  " << name << ": " << Logs(count) << '\n';
  }
}

void LogMailbox::WriteCountsJson(const char* key, const Counts& counts) const {
  out_ << ",\n  " << JsonString(key) << ": {";
  const char* separator = "";
  for (const auto& [name, count] : ByFrequency(counts)) {
    out_ << separator << JsonString(name) << ": " << count;
    separator = ", ";
  }
  out_ << '}';
}

void LogMailbox::WriteSummary() {
  const int noLogs = files_ - logs_;
  if (json_) {
    if (files_ == 0) out_ << "{\"logs\": [";
    out_ << (files_ == 0 ? "" : "\n") << "],\n \"summary\": {\"files\": " << files_
         << ", \"logs\": " << logs_ << ", \"no_logs\": " << noLogs;
    WriteCountsJson("findings", findings_);
    WriteCountsJson("browsers", browsers_);
    WriteCountsJson("outcomes", outcomes_);
    out_ << "}}\n";
    return;
  }
  out_ << '\n'
       << files_ << (files_ == 1 ? " file: " : " files: ") << Logs(logs_) << ", " << noLogs
       << (noLogs == 1 ? " file that is no log" : " files that are no log") << ", "
       << Logs(withFindings_) << " with findings.\n";
  WriteCountsText("findings (logs with each):", findings_);
  WriteCountsText("browsers HTML files open in:", browsers_);
  WriteCountsText("outcomes:", outcomes_);
}

}  // namespace tarvo
