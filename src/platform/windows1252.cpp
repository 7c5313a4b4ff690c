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

// The accented capitals of Windows-1252 by their letter and mark; the small
// letters are 0x20 above them, but for the y with diaeresis.
struct Accented {
  char base;
  char32_t mark;
  unsigned char capital;
};
const Accented AccentedLetters[] = {
    {'A', 0x300, 0xC0}, {'A', 0x301, 0xC1}, {'A', 0x302, 0xC2}, {'A', 0x303, 0xC3},
    {'A', 0x308, 0xC4}, {'A', 0x30A, 0xC5}, {'C', 0x327, 0xC7}, {'E', 0x300, 0xC8},
    {'E', 0x301, 0xC9}, {'E', 0x302, 0xCA}, {'E', 0x308, 0xCB}, {'I', 0x300, 0xCC},
    {'I', 0x301, 0xCD}, {'I', 0x302, 0xCE}, {'I', 0x308, 0xCF}, {'N', 0x303, 0xD1},
    {'O', 0x300, 0xD2}, {'O', 0x301, 0xD3}, {'O', 0x302, 0xD4}, {'O', 0x303, 0xD5},
    {'O', 0x308, 0xD6}, {'U', 0x300, 0xD9}, {'U', 0x301, 0xDA}, {'U', 0x302, 0xDB},
    {'U', 0x308, 0xDC}, {'Y', 0x301, 0xDD},
};
constexpr unsigned char CapitalYDiaeresis = 0x9F;
constexpr unsigned char SmallYDiaeresis = 0xFF;
constexpr char32_t Diaeresis = 0x308;

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

char ComposedLetter(char base, char32_t mark) {
  const bool small = base >= 'a' && base <= 'z';
  const char capital = small ? static_cast<char>(base - 'a' + 'A') : base;
  if (capital == 'Y' && mark == Diaeresis) {
    return static_cast<char>(small ? SmallYDiaeresis : CapitalYDiaeresis);
  }
  for (const Accented& letter : AccentedLetters) {
    if (letter.base == capital && letter.mark == mark) {
      return static_cast<char>(letter.capital + (small ? 0x20 : 0));
    }
  }
  return 0;
}

char BaseLetter(unsigned char byte) {
  if (byte == CapitalYDiaeresis) return 'Y';
  if (byte == SmallYDiaeresis) return 'y';
  for (const Accented& letter : AccentedLetters) {
    if (letter.capital == byte) return letter.base;
    if (letter.capital + 0x20 == byte) return static_cast<char>(letter.base - 'A' + 'a');
  }
  return 0;
}

}  // namespace tarvo
