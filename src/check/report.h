// tarvo-check's output: findings as lines for people, or as one JSON
// object for scripts.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "check/finding.h"

namespace tarvo {

// "<root><file>:<line>: <code>: <message>" a line (no ":<line>" where none
// applies), then how many there were.
void WriteFindingsText(const Findings& findings, const std::string& root, std::ostream& out);

// {"findings": [{"code", "file", "line", "message"}, ...]}; texts are
// Windows-1252, written as JSON's Unicode.
void WriteFindingsJson(const Findings& findings, std::ostream& out);

// The text as a JSON string, quotes included.
std::string JsonString(const std::string& text);

// The Unicode character a Windows-1252 byte stands for.
std::uint16_t UnicodeOfWindows1252(unsigned char byte);

}  // namespace tarvo
