// tarvo-check's output: findings as lines for people, or as one JSON
// object for scripts.
#pragma once

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

}  // namespace tarvo
