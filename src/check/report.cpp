#include "check/report.h"

#include "platform/json_string.h"

namespace tarvo {

void WriteFindingsText(const Findings& findings, const std::string& root, std::ostream& out) {
  for (const Finding& finding : findings) {
    out << root << finding.file;
    if (finding.line != 0) out << ':' << finding.line;
    out << ": " << finding.code << ": " << finding.message << '\n';
  }
  if (findings.empty()) {
    out << "No findings.\n";
  } else {
    out << findings.size() << (findings.size() == 1 ? " finding.\n" : " findings.\n");
  }
}

void WriteFindingsJson(const Findings& findings, std::ostream& out) {
  out << "{\"findings\": [";
  const char* separator = "\n";
  for (const Finding& finding : findings) {
    out << separator << "  {\"code\": " << JsonString(finding.code)
        << ", \"file\": " << JsonString(finding.file) << ", \"line\": " << finding.line
        << ", \"message\": " << JsonString(finding.message) << "}";
    separator = ",\n";
  }
  out << (findings.empty() ? "]}\n" : "\n]}\n");
}

}  // namespace tarvo
