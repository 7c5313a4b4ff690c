#include "platform/utf8_text.h"

namespace tarvo {

std::optional<char32_t> Utf8Character(std::string_view text, std::size_t& at) {
  const auto lead = static_cast<unsigned char>(text[at++]);
  if (lead < 0x80) return lead;
  const int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
  if (more == 0 || lead > 0xF4 || at + more > text.size()) return std::nullopt;
  char32_t character = lead & (0x3F >> more);
  for (int i = 0; i < more; ++i) {
    const auto next = static_cast<unsigned char>(text[at + i]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    character = character << 6 | (next & 0x3F);
  }
  const char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
  if (character < smallest[more] || character > 0x10FFFF ||
      (character >= 0xD800 && character < 0xE000)) {
    return std::nullopt;
  }
  at += more;
  return character;
}

bool IsUtf8BeyondAscii(std::string_view text) {
  bool beyondAscii = false;
  for (std::size_t at = 0; at < text.size();) {
    const auto character = Utf8Character(text, at);
    if (!character) return false;
    beyondAscii = beyondAscii || *character >= 0x80;
  }
  return beyondAscii;
}

}  // namespace tarvo
