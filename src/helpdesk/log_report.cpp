#include "helpdesk/log_report.h"

#include <algorithm>
#include <vector>

#include "platform/json_string.h"

namespace tarvo {

namespace {

std::string Label(std::string key) {
  std::replace(key.begin(), key.end(), '_', ' ');
  return key;
}

std::string LineNumbers(const LogFinding& finding) {
  std::string numbers;
  for (const NumberedLine& line : finding.lines) {
    numbers += (numbers.empty() ? "" : ", ") + std::to_string(line.number);
  }
  return numbers;
}

// The facts of one part as JSON members, a repeated key as one array.
void WriteSectionJson(const LogSection& section, std::ostream& out) {
  std::vector<std::string> keys;
  for (const LogFact& fact : section.facts) {
    if (std::find(keys.begin(), keys.end(), fact.key) == keys.end()) keys.push_back(fact.key);
  }
  out << '{';
  const char* separator = "";
  for (const std::string& key : keys) {
    std::vector<std::string> values;
    for (const LogFact& fact : section.facts) {
      if (fact.key == key) values.push_back(JsonString(fact.value));
    }
    out << separator << JsonString(key) << ": ";
    if (values.size() == 1) {
      out << values[0];
    } else {
      out << '[';
      for (std::size_t i = 0; i < values.size(); ++i) out << (i ? ", " : "") << values[i];
      out << ']';
    }
    separator = ", ";
  }
  out << '}';
}

}  // namespace

void WriteLogReadingText(const LogReading& reading, const std::string& file, std::ostream& out) {
  out << file << ": a launcher log\n";
  for (const LogSection& section : reading.sections) {
    out << '\n' << Label(section.name) << '\n';
    for (const LogFact& fact : section.facts) {
      out << "  " << Label(fact.key) << ": " << fact.value << '\n';
    }
  }
  int number = 0;
  for (const LogFinding& finding : reading.findings) {
    out << '\n'
        << ++number << ". " << finding.code << (finding.lines.size() == 1 ? ", line " : ", lines ")
        << LineNumbers(finding) << '\n';
    for (const NumberedLine& line : finding.lines) {
      out << "   " << line.number << ": " << line.text << '\n';
    }
    out << "   meaning: " << finding.meaning << '\n' << "   advice: " << finding.advice << '\n';
  }
  out << '\n';
  if (reading.findings.empty()) {
    out << "No problem found.\n";
  } else {
    out << reading.findings.size()
        << (reading.findings.size() == 1 ? " finding.\n" : " findings.\n");
  }
}

void WriteLogReadingJson(const LogReading& reading, const std::string& file, std::ostream& out) {
  out << "{\"file\": " << JsonString(file) << ", \"runs\": " << reading.runs;
  bool run = false;
  for (const LogSection& section : reading.sections) {
    if (section.name == "log") {
      out << ",\n \"log\": ";
    } else {
      out << (run ? "," : ",\n \"run\": {") << "\n  " << JsonString(section.name) << ": ";
      run = true;
    }
    WriteSectionJson(section, out);
  }
  out << (run ? "}" : ",\n \"run\": {}") << ",\n \"findings\": [";
  const char* separator = "";
  for (const LogFinding& finding : reading.findings) {
    out << separator << "\n  {\"code\": " << JsonString(finding.code) << ", \"lines\": [";
    for (std::size_t i = 0; i < finding.lines.size(); ++i) {
      out << (i ? ", " : "") << "{\"number\": " << finding.lines[i].number
          << ", \"text\": " << JsonString(finding.lines[i].text) << '}';
    }
    out << "],\n   \"meaning\": " << JsonString(finding.meaning)
        << ",\n   \"advice\": " << JsonString(finding.advice) << '}';
    separator = ",";
  }
  out << (reading.findings.empty() ? "]}" : "\n]}");
}

}  // namespace tarvo
