#include "browser/version_info.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "log/log_file.h"
#include "platform/hex_digits.h"
#include "platform/win32_api.h"

namespace tarvo {

namespace {

constexpr std::size_t TranslationEntrySize = 4;

// The bytes of a value as far as the block holds them: a length that runs
// past the block's end, as a resource's wrong length field gives, stops
// there.
std::optional<std::string> QueryValue(std::vector<std::uint8_t>& block,
                                      const std::string& subBlock) {
  VersionValue value;
  if (!Api().VerQueryValue(block, subBlock, value) || value.offset > block.size()) {
    return std::nullopt;
  }
  const std::size_t length = std::min<std::size_t>(value.length, block.size() - value.offset);
  const auto first = block.begin() + static_cast<std::ptrdiff_t>(value.offset);
  return std::string(first, first + static_cast<std::ptrdiff_t>(length));
}

// The first entry of a translation table: language, then code page.
std::string TranslationName(const std::string& table) {
  const auto byte = [&table](std::size_t i) { return static_cast<std::uint8_t>(table[i]); };
  const std::uint32_t language = byte(0) | byte(1) << 8;
  const std::uint32_t codePage = byte(2) | byte(3) << 8;
  return UpperHexDigits(language, 4) + UpperHexDigits(codePage, 4);
}

}  // namespace

std::string GetFileInfo(const std::string& fileName, const std::string& infoType) {
  LogLine("xxx GFI: FileName = " + fileName);
  LogLine("xxx GFI: InfoType = " + infoType);
  std::uint32_t handle = 0;
  const std::uint32_t infoSize = Api().GetFileVersionInfoSize(fileName, handle);
  LogLine("xxx GFI: InfoSize = " + std::to_string(infoSize));
  std::vector<std::uint8_t> block;
  if (infoSize == 0 || !Api().GetFileVersionInfo(fileName, handle, infoSize, block)) {
    LogLine("xxx GFI: (GetFileVersionInfo is mislukt)");
    return "";
  }
  const auto table = QueryValue(block, "\\VarFileInfo\\Translation");
  if (!table || table->size() < TranslationEntrySize) return "";
  const std::string translation = TranslationName(*table);
  LogLine("xxx GFI: TranslationTable = " + translation);
  const auto value = QueryValue(block, "\\StringFileInfo\\" + translation + "\\" + infoType);
  if (!value) return "";
  const std::string waarde = value->substr(0, value->find('\0'));
  LogLine("xxx GFI: Waarde = " + waarde);
  return waarde;
}

}  // namespace tarvo
