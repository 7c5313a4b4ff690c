#include "platform/catalogue_reader.h"

#include <cstdint>

#include "platform/int32_arithmetic.h"
#include "platform/win32_api.h"

namespace tarvo {

namespace {

constexpr std::uint32_t ValueBufferSize = 2048;

std::optional<std::uint32_t> HexadecimalDigit(char c) {
  if (c >= '0' && c <= '9') return static_cast<std::uint32_t>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<std::uint32_t>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<std::uint32_t>(c - 'A' + 10);
  return std::nullopt;
}

std::optional<std::int32_t> ParseHexadecimal(const std::string& digits) {
  std::uint32_t value = 0;
  for (const char c : digits) {
    const auto digit = HexadecimalDigit(c);
    if (!digit || value > 0x0FFFFFFF) return std::nullopt;
    value = value << 4 | *digit;
  }
  return FromTwosComplement(value);
}

std::optional<std::int32_t> ParseDecimal(const std::string& text) {
  const bool negative = !text.empty() && text[0] == '-';
  const std::string digits = text.substr(negative ? 1 : 0);
  if (digits.empty()) return std::nullopt;
  // The magnitude of the most negative value, one beyond the largest.
  const std::int64_t limit = std::int64_t{0x7FFFFFFF} + (negative ? 1 : 0);
  std::int64_t magnitude = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > limit) return std::nullopt;
  }
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

}  // namespace

std::string CatalogueReader::ReadString(const std::string& section, const std::string& key,
                                        const std::string& defaultValue) const {
  std::string value;
  Api().GetPrivateProfileString(section, key, defaultValue, value, ValueBufferSize, fileName_);
  return value;
}

std::int32_t CatalogueReader::ReadInteger(const std::string& section, const std::string& key,
                                          std::int32_t defaultValue) const {
  return ParseCatalogueInteger(ReadString(section, key, "")).value_or(defaultValue);
}

std::optional<std::int32_t> ParseCatalogueInteger(const std::string& text) {
  const bool hexadecimal = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  return hexadecimal ? ParseHexadecimal(text.substr(2)) : ParseDecimal(text);
}

}  // namespace tarvo
