#include "browser/catalogue_file.h"

#include <cstdint>
#include <utility>

#include "log/debuggen.h"
#include "log/log_file.h"
#include "platform/disc_files.h"
#include "platform/exceptions.h"
#include "platform/file_helpers.h"
#include "platform/unique_handle.h"
#include "platform/win32_api.h"

namespace tarvo {

std::string BrowserIniFile;

namespace {

constexpr std::uint32_t MaxPath = 260;

std::int32_t CatalogueVersion(const std::string& fileName) {
  return CatalogueReader(fileName).ReadInteger(InformationSection, "Versie", 0);
}

bool IsReadOnlyFile(const std::string& path) {
  FindData found;
  const UniqueSearch search(Api().FindFirstFile(path, found));
  return search && (found.attributes & FileAttributeReadOnly) &&
         !(found.attributes & FileAttributeDirectory);
}

// A file made under a name no file had, removed when it goes unless it was
// moved into place. A file that had the name before is someone else's and
// is never touched.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
  ~TemporaryFile() {
    if (made_) Api().DeleteFile(path_);
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  // False, with nothing made, where the name is taken or no new file can be
  // made there.
  bool Create(const std::string& content) {
    const UniqueFile file(Api().CreateFile(path_, FileCreation::CreateNew));
    if (!file) return false;
    made_ = true;
    WriteToFile(file.get(), content);
    return true;
  }
  const std::string& Path() const { return path_; }
  void Release() { made_ = false; }

 private:
  std::string path_;
  bool made_ = false;
};

void ReplaceWholeFile(const std::string& dest, const std::string& content) {
  // Checked here because the rename below would replace a read-only file
  // under Wine, where Windows refuses it.
  if (dest.empty() || IsReadOnlyFile(dest)) throw EFCreateError(dest);
  TemporaryFile copy(dest + ".tmp");
  if (copy.Create(content) &&
      Api().MoveFileEx(copy.Path(), dest, MoveFileReplaceExisting | MoveFileWriteThrough)) {
    copy.Release();
    return;
  }
  // Where no new file may be made beside it, the name is taken, the path
  // grows too long, or file virtualization refuses the rename, a write of
  // the destination itself may still pass.
  WriteWholeFile(dest, content);
}

}  // namespace

std::string GetBrowserIniFileName() {
  if (!BrowserIniFile.empty()) return BrowserIniFile;
  const std::string cdFileName = StartDir + CatalogueFile;
  LogLine("xxx GBIFN: IniFileNameCD = " + cdFileName);
  const std::int32_t cdVersion = CatalogueVersion(cdFileName);
  LogLine("xxx GBIFN: IniVersieCD = " + std::to_string(cdVersion));

  std::string windowsFileName;
  std::int32_t windowsVersion = 0;
  std::string windowsDirectory;
  const std::uint32_t length = Api().GetWindowsDirectory(windowsDirectory, MaxPath);
  LogLine("xxx GBIFN: Lengte = " + std::to_string(length));
  if (length >= 1 && length <= MaxPath) {
    windowsFileName = windowsDirectory;
    if (windowsFileName.back() != '\\') windowsFileName += '\\';
    windowsFileName += "BROWSERS.INI";
    LogLine("xxx GBIFN: IniFileNameWindows = " + windowsFileName);
    windowsVersion = CatalogueVersion(windowsFileName);
    LogLine("xxx GBIFN: IniVersieWindows = " + std::to_string(windowsVersion));
  }

  if (windowsVersion < cdVersion) {
    LogLine("xxx GBIFN: (Kopiëren INI file)");
    CopyFileContents(cdFileName, windowsFileName);
    BrowserIniFile = cdFileName;
  } else {
    BrowserIniFile = windowsFileName;
  }
  return BrowserIniFile;
}

void CopyFileContents(const std::string& source, const std::string& dest) {
  try {
    ReplaceWholeFile(dest, ReadWholeFile(source));
  } catch (const std::exception& e) {
    LogException(e, true);
  }
}

int ForEachRecognitionEntry(const CatalogueReader& catalogue,
                            const std::function<void(int, const std::string&)>& visit) {
  for (int entry = 1;; ++entry) {
    const std::string exeName =
        catalogue.ReadString(RecognitionSection, "EXEnaam" + std::to_string(entry), "");
    if (exeName.empty()) return entry;
    visit(entry, exeName);
  }
}

void BrowsInfClose() { BrowserIniFile.clear(); }

}  // namespace tarvo
