#include "platform/json_string.h"

#include <cstdint>
#include <cstdio>

#include "platform/windows1252.h"

namespace tarvo {

namespace {

std::string UnicodeEscape(std::uint16_t character) {
  char escape[7];
  std::snprintf(escape, sizeof escape, "\\u%04X", character);
  return escape;
}

}  // namespace

std::string JsonString(const std::string& text) {
  std::string json = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      json += '\\';
      json += c;
    } else if (byte >= 0x80) {
      json += UnicodeEscape(UnicodeOfWindows1252(byte));
    } else if (byte < 0x20) {
      json += UnicodeEscape(byte);
    } else {
      json += c;
    }
  }
  return json + "\"";
}

}  // namespace tarvo
