#include "check/report.h"

#include <cstdint>
#include <cstdio>

namespace tarvo {

namespace {

// Windows-1252's characters 0x80 to 0x9F; the rest are Latin-1's. The five
// it leaves undefined stand for the control characters of their number.
const std::uint16_t Windows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::string UnicodeEscape(std::uint16_t character) {
  char escape[7];
  std::snprintf(escape, sizeof escape, "\\u%04X", character);
  return escape;
}

}  // namespace

std::uint16_t UnicodeOfWindows1252(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? Windows1252High[byte - 0x80] : byte;
}

std::string JsonString(const std::string& text) {
  std::string json = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      json += '\\';
      json += c;
    } else if (byte >= 0x80) {
      json += UnicodeEscape(UnicodeOfWindows1252(byte));
    } else if (byte < 0x20) {
      json += UnicodeEscape(byte);
    } else {
      json += c;
    }
  }
  return json + "\"";
}

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
