#include "platform/file_helpers.h"

#include <algorithm>
#include <limits>

#include "platform/exceptions.h"
#include "platform/unique_handle.h"
#include "platform/win32_api.h"

namespace tarvo {

bool FileExists(const std::string& path) {
  FindData found;
  const UniqueSearch search(Api().FindFirstFile(path, found));
  return search && !(found.attributes & FileAttributeDirectory);
}

void WriteWholeFile(const std::string& path, const std::string& content) {
  const UniqueFile file(Api().CreateFile(path, FileCreation::CreateAlways));
  if (!file) throw EFCreateError(path);
  // One WriteFile takes at most 32 bits' worth; larger contents go in parts.
  constexpr std::size_t largestWrite = std::numeric_limits<std::uint32_t>::max();
  for (std::size_t done = 0; done < content.size();) {
    const auto size = static_cast<std::uint32_t>(std::min(content.size() - done, largestWrite));
    std::uint32_t written = 0;
    if (!Api().WriteFile(file.get(), content.data() + done, size, written) || written != size) {
      throw EWriteError();
    }
    done += size;
  }
}

}  // namespace tarvo
