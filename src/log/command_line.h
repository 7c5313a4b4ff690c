// The program's own reading of its command line. Unlike the C runtime's argv
// it knows no backslash escapes, so a quoted "E:\CD\" stays E:\CD\.
#pragma once

#include <string>
#include <vector>

namespace tarvo {

// Every word of `commandLine`, the program name included. Characters up to
// and including the blank separate words; a stretch in double quotes belongs
// to its word and the quotes are dropped; a word keeps at most 4096
// characters.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

}  // namespace tarvo
