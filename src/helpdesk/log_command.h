// tarvo-check log FILE: a reader's LMRSTART.LOG read back and explained.
#pragma once

#include <ostream>
#include <string>

namespace tarvo {

// tarvo-check log's exit status.
enum class LogStatus { Clean = 0, Findings = 1, NoLog = 2 };

// Reads the log `file` and writes its reading to `out`, as JSON when `json`
// is set: Clean when it shows no problem, Findings with
// findings. A file that cannot be read or is no launcher log gets one line
// on `error` saying which, and NoLog.
LogStatus CheckLog(const std::string& file, bool json, std::ostream& out, std::ostream& error);

}  // namespace tarvo
