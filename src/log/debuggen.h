// Debuggen: reads the switches and the start directory from the command
// line, opens the log with its header before the run, and after the run
// writes the log and tells the user where it is.
#pragma once

#include <string>
#include <vector>

namespace tarvo {

extern bool Debug;            // /DEBUG: the log is always kept, and reported
extern bool ExtraChecks;      // /CHECKS: likewise, and the built-in checks run
extern std::string StartDir;  // upper case, ending in "\"

struct StartOptions {
  bool debug = false;
  bool extraChecks = false;
  std::string startDir;
};

// `arguments` are the command line's words after the program name;
// `programPath` is the running executable, whose folder is the start
// directory unless an argument names one.
StartOptions ReadStartOptions(const std::vector<std::string>& arguments,
                              const std::string& programPath);

// The report boxes shown at the end of a run whose log was written, in order.
std::vector<std::string> ClosingReports(bool debug, bool extraChecks,
                                        const std::string& logFileName);

void DebuggenStart();
void DebuggenClose();

}  // namespace tarvo
