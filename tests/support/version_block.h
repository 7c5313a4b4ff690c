// Version resources as tests describe them, and the blocks Windows keeps
// them in: the tree of VS_VERSIONINFO with its fixed part, the string
// tables under "StringFileInfo" and the translation table under
// "VarFileInfo".
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tarvo {

struct VersionStringTable {
  std::string name;  // language and code page in 8 hexadecimal digits: "041304E4"
  std::vector<std::pair<std::string, std::string>> values;
};

struct VersionResource {
  std::vector<std::uint32_t> translations;  // language | code page << 16, in order
  std::vector<VersionStringTable> tables;
};

// A resource with one language: its translation and its string table.
VersionResource SingleLanguageVersion(std::uint16_t language, std::uint16_t codePage,
                                      std::vector<std::pair<std::string, std::string>> values);

// The 16-bit form, with ANSI keys and texts, as files of Windows 3.x carry it.
std::vector<std::uint8_t> AnsiVersionBlock(const VersionResource& resource);
// The 32-bit form of a PE file's RT_VERSION resource, with UTF-16 keys and
// texts; the texts must be ASCII.
std::vector<std::uint8_t> UnicodeVersionBlock(const VersionResource& resource);

}  // namespace tarvo
