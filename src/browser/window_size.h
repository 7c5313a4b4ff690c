// BrowsInf: the desktop's work area and the size the browser's window needs
// to show the 640 x 480 interface page whole.
#pragma once

#include <cstdint>
#include <string>

namespace tarvo {

// The work area's height and width; false, with both 0, when the system
// cannot tell.
bool GetDesktopSize(std::int32_t& height, std::int32_t& width);

// The window size for `browserCode` (its first three characters): the page
// plus the caption height and the catalogue's "ExtraH"/"ExtraW" for the
// code, plus the sizing borders on both sides for codes whose second letter
// is N. Always computed, in 32-bit wrapping arithmetic; false when the
// window metrics could not be read (caption and borders then count as 0).
bool GetBrowserSize(const std::string& browserCode, std::int32_t& height, std::int32_t& width);

}  // namespace tarvo
