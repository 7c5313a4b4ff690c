// Starting the browser on the chosen document.
#pragma once

#include <string>

namespace tarvo {

// The browser path, one blank, the document. A part with a blank in it is
// quoted, so that Windows runs the named program and the browser gets the
// document as one argument.
std::string BrowserCommandLine(const std::string& browser, const std::string& document);

// Starts BrowserPad on OpenHTMLdoc without waiting for it; a failed start is
// logged as a problem and told to the user.
void LaunchBrowser();

}  // namespace tarvo
