// The personalised start page: lmrstart.htm in the temporary directory,
// made from the disc's template.
#pragma once

#include <cstdint>
#include <string>

namespace tarvo {

// `document` holds the start directory on entry. Fills in the template's
// placeholders (the window centred in the work area, the disc's main page for
// BrowserCode, the status text, the music settings), writes the page and
// leaves its path in `document`. A file that cannot be read or written ends
// the run through the file-error diagnosis; after any other error, which is
// logged as a problem, `document` keeps what it held then.
void CreateStartPage(std::string& document, std::int32_t desktopHeight, std::int32_t desktopWidth,
                     std::int32_t browserHeight, std::int32_t browserWidth);

}  // namespace tarvo
