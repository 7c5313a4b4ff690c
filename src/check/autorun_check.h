// tarvo-check's findings on the disc's autorun.inf: what Windows starts when
// the reader puts the disc in, and the icon it shows for the disc.
#pragma once

#include <string>

#include "check/finding.h"

namespace tarvo {

inline constexpr const char* AutorunFile = "autorun.inf";

// `root` is the master's folder, ending in "\". autorun.inf's values are
// read through the profile lookup, as Windows reads them; its encoding from
// its own bytes, since Wine's lookup takes marks and UTF-16 that some
// Windows versions do not.
Findings CheckAutorun(const std::string& root);

}  // namespace tarvo
