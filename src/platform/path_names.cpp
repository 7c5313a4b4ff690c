#include "platform/path_names.h"

namespace tarvo {

namespace {
std::string::size_type DirectoryLength(const std::string& path) {
  const auto last = path.find_last_of("\\:");
  return last == std::string::npos ? 0 : last + 1;
}
}  // namespace

std::string ExtractFilePath(const std::string& path) {
  return path.substr(0, DirectoryLength(path));
}

std::string ExtractFileName(const std::string& path) { return path.substr(DirectoryLength(path)); }

}  // namespace tarvo
