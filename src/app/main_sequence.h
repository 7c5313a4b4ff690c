// Tarvo32's main sequence: from the open log to the started browser.
#pragma once

#include <string>

namespace tarvo {

extern std::string BrowserPad;   // the browser executable to start
extern std::string BrowserCode;  // the browser's type code, at most three characters
extern std::string OpenHTMLdoc;  // the document the browser is started on

// Runs the stages in their fixed order and ends the run through StopProgram.
[[noreturn]] void RunMainSequence();

}  // namespace tarvo
