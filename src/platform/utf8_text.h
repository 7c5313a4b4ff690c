// Text an editor saved as UTF-8, which the "A" functions of Windows read as
// Windows-1252, one byte a character.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace tarvo {

// What some editors put before UTF-8 text; Windows' own readers of
// profiles and the "A" functions do not take it off.
inline constexpr char Utf8ByteOrderMark[] = "\xEF\xBB\xBF";

// The character of the UTF-8 sequence at `at`, which moves past it; none for
// a sequence that is no proper UTF-8 (overlong, a surrogate, beyond
// U+10FFFF, cut short), `at` then moving past its first byte only.
std::optional<char32_t> Utf8Character(std::string_view text, std::size_t& at);

// True when `text` is proper UTF-8 throughout and holds characters beyond
// ASCII: read as Windows-1252, each of those shows as two or more others.
bool IsUtf8BeyondAscii(std::string_view text);

}  // namespace tarvo
