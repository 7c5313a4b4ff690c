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

// The accented letter of Windows-1252 that the ASCII letter `base` followed
// by the combining mark `mark` (U+0300 to U+036F, as decomposed text has
// them) makes; 0 when Windows-1252 has none.
char ComposedLetter(char base, char32_t mark);

// The ASCII letter an accented letter of Windows-1252 is made on ('e' for
// 'ë'); 0 for any other byte.
char BaseLetter(unsigned char byte);

}  // namespace tarvo
