// The model's version information: 16-bit blocks (ANSI keys and texts), and
// VerQueryValue as a parser of such blocks that never reads outside them.
#include <algorithm>
#include <optional>
#include <stdexcept>

#include "platform/ascii_case.h"
#include "support/windows_model.h"

namespace tarvo {

namespace {

// One node of the block: wLength, wValueLength, the key up to its zero,
// then the value and the children, each starting on a 4-byte boundary
// counted from the node's start.
struct VersionNode {
  std::size_t start;
  std::size_t end;
  std::string key;
  std::size_t valueStart;
  std::uint32_t valueLength;
  std::size_t childrenStart;
};

std::size_t AlignedToFour(std::size_t offset) { return (offset + 3) / 4 * 4; }

std::uint32_t WordAt(const std::vector<std::uint8_t>& block, std::size_t at) {
  return block[at] | static_cast<std::uint32_t>(block[at + 1]) << 8;
}

// The node at `start`, when it lies whole within `limit`.
std::optional<VersionNode> NodeAt(const std::vector<std::uint8_t>& block, std::size_t start,
                                  std::size_t limit) {
  if (limit > block.size() || start >= limit || limit - start < 4) return std::nullopt;
  const std::size_t length = WordAt(block, start);
  if (length < 4 || length > limit - start) return std::nullopt;
  VersionNode node{start, start + length, "", 0, WordAt(block, start + 2), 0};
  std::size_t keyEnd = start + 4;
  while (keyEnd < node.end && block[keyEnd] != 0) ++keyEnd;
  if (keyEnd == node.end) return std::nullopt;
  node.key.assign(block.begin() + static_cast<std::ptrdiff_t>(start + 4),
                  block.begin() + static_cast<std::ptrdiff_t>(keyEnd));
  node.valueStart = start + AlignedToFour(keyEnd + 1 - start);
  node.childrenStart = node.valueStart + AlignedToFour(node.valueLength);
  return node;
}

std::optional<VersionNode> ChildNamed(const std::vector<std::uint8_t>& block,
                                      const VersionNode& parent, const std::string& key) {
  for (std::size_t at = parent.childrenStart; at < parent.end;) {
    const auto child = NodeAt(block, at, parent.end);
    if (!child) return std::nullopt;
    if (WindowsModel::CaseFolded(child->key) == WindowsModel::CaseFolded(key)) return child;
    at = child->start + AlignedToFour(child->end - child->start);
  }
  return std::nullopt;
}

}  // namespace

void WindowsModel::SetVersionResource(const std::string& path, const VersionResource& resource) {
  SetVersionBlock(path, AnsiVersionBlock(resource));
}

void WindowsModel::SetVersionBlock(const std::string& path, std::vector<std::uint8_t> block) {
  const auto entry = entries_.find(AsciiUpperCase(path));
  if (entry == entries_.end() || (entry->second.attributes & FileAttributeDirectory)) {
    throw std::logic_error("model: version information needs an existing file: " + path);
  }
  entry->second.versionBlock = std::move(block);
}

std::uint32_t WindowsModel::GetFileVersionInfoSize(const std::string& fileName,
                                                   std::uint32_t& handle) {
  handle = 0;
  const Entry* entry = Find(fileName);
  return entry ? static_cast<std::uint32_t>(entry->versionBlock.size()) : 0;
}

bool WindowsModel::GetFileVersionInfo(const std::string& fileName, std::uint32_t /*handle*/,
                                      std::uint32_t size, std::vector<std::uint8_t>& block) {
  const Entry* entry = Find(fileName);
  if (failVersionReads_ || !entry || entry->versionBlock.empty()) return false;
  block.assign(size, 0);
  std::copy_n(entry->versionBlock.begin(), std::min<std::size_t>(size, entry->versionBlock.size()),
              block.begin());
  return true;
}

bool WindowsModel::VerQueryValue(std::vector<std::uint8_t>& block, const std::string& subBlock,
                                 VersionValue& value) {
  auto node = NodeAt(block, 0, block.size());
  for (std::string::size_type start = 0; node && start < subBlock.size();) {
    const auto end = std::min(subBlock.find('\\', start), subBlock.size());
    if (end > start) node = ChildNamed(block, *node, subBlock.substr(start, end - start));
    start = end + 1;
  }
  if (!node) return false;
  value = {node->valueStart, node->valueLength};
  return true;
}

}  // namespace tarvo
