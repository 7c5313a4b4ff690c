// tarvo-check log FILE: a reader's LMRSTART.LOG read back and explained.
#pragma once

#include <ostream>
#include <string>

#include "check/check_command.h"

namespace tarvo {

// Reads the log `file` and writes its reading to `out`, as JSON when `json`
// is set: CheckClean when it shows no problem, CheckFoundFaults with
// findings. A file that cannot be read or is no launcher log gets one line
// on `error` saying which, and CheckBadUsage.
CheckStatus CheckLog(const std::string& file, bool json, std::ostream& out, std::ostream& error);

}  // namespace tarvo
