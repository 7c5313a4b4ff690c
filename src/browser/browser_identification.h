// BrowsInf: which browser an executable is, in the catalogue's terms.
#pragma once

#include <string>

namespace tarvo {

// The browser code of the last recognition entry of the catalogue whose
// name occurs in the upper-cased path and whose version (if any) begins the
// file's product version: the first three characters of its "EIntern",
// upper-cased. "ONB" when no entry matches. Logs every match.
std::string GetBrowserName(const std::string& fileName);

}  // namespace tarvo
