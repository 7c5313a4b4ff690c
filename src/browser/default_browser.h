// BrowsInf: the browser Windows opens HTML files with.
#pragma once

#include <string>

namespace tarvo {

// The full path of the existing executable registered for `htmlFileName`.
// Never returns otherwise: when the document is missing (a wrong start
// directory) or no usable browser is registered, it tells the user and ends
// the run.
std::string GetDefaultBrowser(const std::string& htmlFileName);

}  // namespace tarvo
