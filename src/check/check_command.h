// tarvo-check's command line.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tarvo {

enum CheckStatus { CheckClean = 0, CheckFoundFaults = 1, CheckBadUsage = 2 };

// `arguments` follow the program's name:
//   [--json] MASTER                    checks the disc master folder MASTER
//   identify PROGRAM [--version V] [--master MASTER]
//                                      the launcher's verdict on a browser
//   log [--json] PATH...               readers' logs read back
// Results go to `out`, usage and failures to `error`. A master or log that
// cannot be read, or a file that is no log, counts as bad usage.
CheckStatus RunTarvoCheck(const std::vector<std::string>& arguments, std::ostream& out,
                          std::ostream& error);

}  // namespace tarvo
