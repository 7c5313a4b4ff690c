// tarvo-check's findings on a browser catalogue: what the launcher would
// read there and where that goes wrong.
#pragma once

#include <string>

#include "check/finding.h"

namespace tarvo {

// `fileName` is the catalogue's full path, read through the profile lookup;
// `text` its content, for the lines; findings name `file`.
Findings CheckCatalogue(const std::string& fileName, const std::string& text,
                        const std::string& file);

}  // namespace tarvo
