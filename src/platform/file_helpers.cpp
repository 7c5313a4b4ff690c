#include "platform/file_helpers.h"

#include "platform/exceptions.h"
#include "platform/unique_handle.h"
#include "platform/win32_api.h"

namespace tarvo {

bool FileExists(const std::string& path) {
  FindData found;
  const UniqueSearch search(Api().FindFirstFile(path, found));
  if (!search || (found.attributes & FileAttributeDirectory)) return false;
  std::uint64_t local = 0;
  DosDateTime dos;
  return Api().FileTimeToLocalFileTime(found.lastWriteTime, local) &&
         Api().FileTimeToDosDateTime(local, dos);
}

void WriteWholeFile(const std::string& path, const std::string& content) {
  const UniqueFile file(Api().CreateFile(path, FileCreation::CreateAlways));
  if (!file) throw EFCreateError(path);
  const auto size = static_cast<std::uint32_t>(content.size());
  std::uint32_t written = 0;
  if (!Api().WriteFile(file.get(), content.data(), size, written) || written != size) {
    throw EWriteError();
  }
}

}  // namespace tarvo
