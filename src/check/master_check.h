// tarvo-check's findings on a whole disc master: the files the launcher
// needs or names, its own version, autorun.inf, the catalogue and the
// template.
#pragma once

#include <string>

#include "check/finding.h"

namespace tarvo {

// `root` is the master's folder, ending in "\". Findings come in the order
// of their files, then of their lines.
Findings CheckMaster(const std::string& root);

}  // namespace tarvo
