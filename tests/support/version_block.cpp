#include "support/version_block.h"

#include <stdexcept>

#include "platform/hex_digits.h"

namespace tarvo {

namespace {

constexpr std::uint32_t FixedInfoSignature = 0xFEEF04BD;
constexpr std::uint32_t FixedInfoVersion = 0x00010000;
constexpr std::size_t FixedInfoSize = 52;

enum class Kind { Container, Text, Binary };

struct Node {
  std::string key;
  Kind kind;
  std::string value;  // bytes; a text without its final zero
  std::vector<Node> children;
};

void AppendWord(std::vector<std::uint8_t>& out, std::uint32_t word) {
  out.push_back(static_cast<std::uint8_t>(word));
  out.push_back(static_cast<std::uint8_t>(word >> 8));
}

std::string LittleEndian(std::uint32_t value) {
  std::string bytes;
  for (int i = 0; i < 4; ++i) bytes += static_cast<char>(value >> (8 * i));
  return bytes;
}

void PadToFour(std::vector<std::uint8_t>& out) {
  while (out.size() % 4 != 0) out.push_back(0);
}

// A text with its final zero, in the form's characters; returns its length
// in those characters.
std::size_t AppendText(std::vector<std::uint8_t>& out, const std::string& text, bool unicode) {
  for (const char c : text) {
    if (!unicode) {
      out.push_back(static_cast<std::uint8_t>(c));
    } else if (static_cast<unsigned char>(c) < 0x80) {
      AppendWord(out, static_cast<std::uint8_t>(c));
    } else {
      throw std::invalid_argument("version texts of PE files are ASCII here: " + text);
    }
  }
  if (unicode)
    AppendWord(out, 0);
  else
    out.push_back(0);
  return text.size() + 1;
}

void AppendNode(std::vector<std::uint8_t>& out, const Node& node, bool unicode) {
  const std::size_t start = out.size();
  AppendWord(out, 0);  // wLength, filled in below
  AppendWord(out, 0);  // wValueLength, likewise
  if (unicode) AppendWord(out, node.kind == Kind::Binary ? 0 : 1);
  AppendText(out, node.key, unicode);
  PadToFour(out);
  std::size_t valueLength = 0;
  if (node.kind == Kind::Text) {
    valueLength = AppendText(out, node.value, unicode);
  } else if (node.kind == Kind::Binary) {
    out.insert(out.end(), node.value.begin(), node.value.end());
    valueLength = node.value.size();
  }
  for (const Node& child : node.children) {
    PadToFour(out);
    AppendNode(out, child, unicode);
  }
  const std::size_t length = out.size() - start;
  out[start] = static_cast<std::uint8_t>(length);
  out[start + 1] = static_cast<std::uint8_t>(length >> 8);
  out[start + 2] = static_cast<std::uint8_t>(valueLength);
  out[start + 3] = static_cast<std::uint8_t>(valueLength >> 8);
}

Node Tree(const VersionResource& resource) {
  Node strings{"StringFileInfo", Kind::Container, "", {}};
  for (const VersionStringTable& table : resource.tables) {
    Node tableNode{table.name, Kind::Container, "", {}};
    for (const auto& [name, value] : table.values) {
      tableNode.children.push_back({name, Kind::Text, value, {}});
    }
    strings.children.push_back(tableNode);
  }
  std::string translations;
  for (const std::uint32_t translation : resource.translations) {
    translations += LittleEndian(translation);
  }
  const Node variables{
      "VarFileInfo", Kind::Container, "", {{"Translation", Kind::Binary, translations, {}}}};
  std::string fixedInfo = LittleEndian(FixedInfoSignature) + LittleEndian(FixedInfoVersion);
  fixedInfo.resize(FixedInfoSize, '\0');
  return {"VS_VERSION_INFO", Kind::Binary, fixedInfo, {strings, variables}};
}

std::vector<std::uint8_t> Block(const VersionResource& resource, bool unicode) {
  std::vector<std::uint8_t> block;
  AppendNode(block, Tree(resource), unicode);
  return block;
}

}  // namespace

VersionResource SingleLanguageVersion(std::uint16_t language, std::uint16_t codePage,
                                      std::vector<std::pair<std::string, std::string>> values) {
  const std::string name = UpperHexDigits(language, 4) + UpperHexDigits(codePage, 4);
  return {{language | std::uint32_t{codePage} << 16}, {{name, std::move(values)}}};
}

std::vector<std::uint8_t> AnsiVersionBlock(const VersionResource& resource) {
  return Block(resource, false);
}

std::vector<std::uint8_t> UnicodeVersionBlock(const VersionResource& resource) {
  return Block(resource, true);
}

}  // namespace tarvo
