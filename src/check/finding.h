// What tarvo-check reports: one fault of a disc master, where it stands and
// what it does to the launcher.
#pragma once

#include <string>
#include <vector>

namespace tarvo {

struct Finding {
  std::string code;  // a stable name of the check, such as "entry-after-gap"
  std::string file;  // relative to the master's root, as the launcher names it
  int line = 0;      // from 1; 0 where no line applies
  std::string message;
};

using Findings = std::vector<Finding>;

// Text in double quotes, for values in messages.
inline std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace tarvo
