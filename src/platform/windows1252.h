// Windows-1252, the code page of every text the product shows or logs, and
// Unicode: for the tools that read its texts back from other encodings or
// write them as JSON.
#pragma once

#include <cstdint>

namespace tarvo {

// The Unicode character a Windows-1252 byte stands for.
std::uint16_t UnicodeOfWindows1252(unsigned char byte);

// The Windows-1252 byte of a Unicode character; '?' for one it lacks.
char Windows1252OfUnicode(char32_t character);

}  // namespace tarvo
