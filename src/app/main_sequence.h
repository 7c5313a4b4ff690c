// Tarvo32's main sequence: from the open log to the started browser.
#pragma once

#include <cstdint>
#include <string>

namespace tarvo {

extern std::string BrowserPad;   // the browser executable to start
extern std::string BrowserCode;  // its catalogue code, at most three characters
extern std::string OpenHTMLdoc;  // the document the browser is started on
// The work area and the browser window, in pixels.
extern std::int32_t DesktopHeight;
extern std::int32_t DesktopWidth;
extern std::int32_t BrowserHeight;
extern std::int32_t BrowserWidth;

// True for the codes of a browser the catalogue does not know ("ONB") or
// does not support ("NA"): the run then looks for a better one.
bool IsUnknownOrUnsupported(const std::string& code);

// Runs the stages in their fixed order and ends the run through StopProgram.
[[noreturn]] void RunMainSequence();

}  // namespace tarvo
