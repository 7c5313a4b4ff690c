#include "app/browser_path.h"

#include <algorithm>

namespace tarvo {

void ConvertToBrowserDir(std::string& path) {
  if (path.empty()) return;
  std::replace(path.begin(), path.end(), '\\', '/');
  std::replace(path.begin(), path.end(), ':', '|');
  path.insert(0, "file:///");
}

}  // namespace tarvo
