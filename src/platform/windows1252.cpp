#include "platform/windows1252.h"

namespace tarvo {

namespace {

// Windows-1252's characters 0x80 to 0x9F; the rest are Latin-1's. The five
// it leaves undefined stand for the control characters of their number.
const std::uint16_t Windows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

std::uint16_t UnicodeOfWindows1252(unsigned char byte) {
  return byte >= 0x80 && byte < 0xA0 ? Windows1252High[byte - 0x80] : byte;
}

char Windows1252OfUnicode(char32_t character) {
  if (character < 0x80 || (character >= 0xA0 && character < 0x100)) {
    return static_cast<char>(character);
  }
  for (unsigned byte = 0x80; byte < 0xA0; ++byte) {
    if (Windows1252High[byte - 0x80] == character) return static_cast<char>(byte);
  }
  return '?';
}

}  // namespace tarvo
