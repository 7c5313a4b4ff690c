// Reading values of an INI file, as every reader of the browser catalogue
// does: through the system's profile lookup, with a default for what is
// missing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace tarvo {

class CatalogueReader {
 public:
  // A file named without a folder is looked for in the Windows directory.
  explicit CatalogueReader(std::string fileName) : fileName_(std::move(fileName)) {}

  // At most 2047 characters; `defaultValue` when the file, the section or
  // the key is missing.
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;
  // The value read as text and taken as an integer (ParseCatalogueInteger);
  // `defaultValue` for a missing value or one that is no integer.
  std::int32_t ReadInteger(const std::string& section, const std::string& key,
                           std::int32_t defaultValue) const;

 private:
  std::string fileName_;
};

// "0x" or "0X" followed by hexadecimal digits whose value fits in 32 bits,
// taken as a signed 32-bit value ("0xFFFFFFFF" is -1); otherwise decimal
// digits with an optional leading "-" within the signed 32-bit range.
// Anything else, an empty text included, is no integer.
std::optional<std::int32_t> ParseCatalogueInteger(const std::string& text);

}  // namespace tarvo
