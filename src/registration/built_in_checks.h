// Checks: the repairs that run only with /CHECKS, bracketed by their lines.
#pragma once

namespace tarvo {

// The script-error repair, then the HTML association repair. Has no handler
// of its own: an error of the first skips the rest and passes on.
void RunBuiltInChecks();

}  // namespace tarvo
