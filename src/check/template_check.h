// tarvo-check's findings on the start page's template: placeholders the
// start page would leave in the page as they stand.
#pragma once

#include <string>

#include "check/finding.h"

namespace tarvo {

// `text` is the template's content; findings name `file`.
Findings CheckTemplate(const std::string& text, const std::string& file);

}  // namespace tarvo
