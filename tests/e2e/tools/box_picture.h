// Pictures of windows as they stand on the screen, for people who would
// rather see a message box than read its record.
#pragma once

#include <string>

#include "platform/win32/windows_headers.h"

// The window's rectangle of the screen as a 24-bit BMP file, once its
// painting has settled: two captures a moment apart agree and show more than
// one colour. Empty when the screen cannot be read.
std::string SettledWindowPicture(HWND window);
