#include "platform/file_helpers.h"

#include <algorithm>
#include <limits>

#include "platform/exceptions.h"
#include "platform/unique_handle.h"
#include "platform/win32_api.h"

namespace tarvo {

namespace {
// One ReadFile or WriteFile moves at most 32 bits' worth; more goes in parts.
constexpr std::size_t largestTransfer = std::numeric_limits<std::uint32_t>::max();
constexpr std::uint64_t largestContent = std::numeric_limits<std::size_t>::max();
}  // namespace

bool FileExists(const std::string& path) {
  FindData found;
  const UniqueSearch search(Api().FindFirstFile(path, found));
  return search && !(found.attributes & FileAttributeDirectory);
}

std::string ReadWholeFile(const std::string& path) {
  const UniqueFile file(Api().CreateFile(path, FileCreation::OpenExistingRead));
  if (!file) throw EFOpenError(path);
  std::uint64_t size = 0;
  if (!Api().GetFileSize(file.get(), size) || size > largestContent) throw EReadError();
  std::string content(static_cast<std::size_t>(size), '\0');
  for (std::size_t done = 0; done < content.size();) {
    const auto part = static_cast<std::uint32_t>(std::min(content.size() - done, largestTransfer));
    std::uint32_t read = 0;
    if (!Api().ReadFile(file.get(), &content[done], part, read) || read != part) throw EReadError();
    done += part;
  }
  return content;
}

void WriteWholeFile(const std::string& path, const std::string& content) {
  const UniqueFile file(Api().CreateFile(path, FileCreation::CreateAlways));
  if (!file) throw EFCreateError(path);
  WriteToFile(file.get(), content);
}

void WriteToFile(Handle file, const std::string& content) {
  for (std::size_t done = 0; done < content.size();) {
    const auto size = static_cast<std::uint32_t>(std::min(content.size() - done, largestTransfer));
    std::uint32_t written = 0;
    if (!Api().WriteFile(file, content.data() + done, size, written) || written != size) {
      throw EWriteError();
    }
    done += size;
  }
}

}  // namespace tarvo
