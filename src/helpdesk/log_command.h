// tarvo-check log: readers' logs read back and explained, one file in full,
// or a whole mailbox at once.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tarvo {

// tarvo-check log's exit status.
enum class LogStatus { Clean = 0, Findings = 1, NoLog = 2 };

// One file that is no folder: its reading to `out`, as JSON when `json` is
// set; a file that cannot be read or is no launcher log gets one line on
// `error` saying which. More than one path, or a folder (read with its
// subfolders, its .log, .txt and .eml files in any case): a line for each
// file, a file that is no log among them with its reason, then a summary
// (LogMailbox). A mail (.eml) is read for the log attached to it or, when
// none is, for the log in its text. Clean when no log shows a problem,
// Findings when one does, NoLog when no path holds a readable log.
LogStatus CheckLogs(const std::vector<std::string>& paths, bool json, std::ostream& out,
                    std::ostream& error);

}  // namespace tarvo
