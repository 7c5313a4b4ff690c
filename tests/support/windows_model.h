// An in-memory Windows for the unit tests: files and folders on drives, file
// associations under HKEY_CLASSES_ROOT, started processes and message boxes,
// behaving like Windows for what the product relies on (the contract tests
// hold it to that). Set it up in a few lines; inject failures where Windows
// would fail. Browser detection's calls live in windows_model_directory.cpp,
// windows_model_profile.cpp, windows_model_version.cpp and
// windows_model_system.cpp; the start page's in windows_model_disk.cpp and
// windows_model_clock.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32_api.h"
#include "support/version_block.h"

namespace tarvo {

struct ShownBox {
  std::string caption;
  std::string text;
  MessageBoxIcon icon;
  std::set<std::string> filesThen;  // upper-case paths of the files when it showed
};

struct RegistryValue {
  std::uint32_t type;
  std::vector<std::uint8_t> data;
};

struct StartedProcess {
  std::string commandLine;
  std::uint32_t creationFlags;
  StartupInfo startup;
};

// A text as a REG_SZ value stores it: its bytes and the terminating zero.
std::vector<std::uint8_t> RegistryTextData(const std::string& text);

class WindowsModel final : public Win32Api {
 public:
  // 2026-12-08 12:00 UTC: the model's clock unless set, and the time of
  // files and folders set up without one.
  static constexpr std::uint64_t Now = 134412048000000000;
  static constexpr std::uint32_t TurkishLocale = 0x041F;

  // Drive C: with the Windows directory C:\WINDOWS and the temp folder
  // C:\WINDOWS\TEMP exists, D: is a CD-ROM drive; the program runs
  // as D:\TARVO32.EXE without arguments; the work area is 800 x 572 (an
  // 800 x 600 screen with its taskbar), borders are 1 and captions 18 high.
  WindowsModel();

  // --- set-up ---
  void SetModuleFileName(const std::string& path) { moduleFileName_ = path; }
  void SetCommandLine(const std::string& line) { commandLine_ = line; }
  // Creates the folder and any missing parents.
  void AddFolder(const std::string& path);
  // Creates or replaces a file, and any missing parent folders.
  void AddFile(const std::string& path, const std::string& content = "",
               std::uint32_t attributes = FileAttributeArchive, std::uint64_t lastWriteTime = Now);
  // HKEY_CLASSES_ROOT: the extension's file type opens with `openCommand`.
  void AssociateExtension(const std::string& extension, const std::string& openCommand);
  // A registry value, creating its key and the keys above it. The text form
  // stores REG_SZ with its terminating zero.
  void SetRegistryValue(Handle root, const std::string& key, const std::string& name,
                        std::uint32_t type, std::vector<std::uint8_t> data);
  void SetRegistryText(Handle root, const std::string& key, const std::string& name,
                       const std::string& text);
  void SetRegistryDword(Handle root, const std::string& key, const std::string& name,
                        std::uint32_t value);
  // Opening or creating the key fails from now on, as for a key the user may
  // not change.
  void DenyRegistryKey(Handle root, const std::string& key);
  // Opening the key for changes fails from now on; reading still works.
  void DenyRegistryChanges(Handle root, const std::string& key);
  void SetSystemDirectory(const std::string& path) { systemDirectory_ = path; }
  // A library file with the given exported functions; each entry point's
  // function gives its result (or raises, as a failing entry point would).
  using EntryPoint = std::function<std::int32_t()>;
  void AddLibrary(const std::string& path, std::map<std::string, EntryPoint> exports);
  // Loading this existing file fails, as for a file that is no library.
  void FailLoadingLibrary(const std::string& path) { unloadable_.insert(KeyOf(path)); }
  // Every later WriteFile fails, as on a full disk.
  void FailWrites() { failWrites_ = true; }
  // No new file can be made in the folder from now on, while its files can
  // still be written: a lock-down some administrators put on the Windows
  // folder for its legacy INI files.
  void DenyNewFiles(const std::string& folder) {
    newFilesDenied_.insert(ResolvedKey(KeyOf(folder)));
  }
  // Every later CreateProcess fails, as for a program Windows cannot run.
  void FailProcessStarts() { failProcessStarts_ = true; }
  // Runs inside every later FindExecutable, so that a test can raise an
  // error from the middle of a run.
  void OnFindExecutable(std::function<void()> action) { onFindExecutable_ = std::move(action); }

  // --- set-up for browser detection ---
  // A directory link at `path` to the existing folder `target`, shown with
  // the reparse-point attribute; paths through it lead into `target`.
  void AddDirectoryLink(const std::string& path, const std::string& target);
  // FindFirstFile cannot list the folder, as for one the user may not read.
  void DenyListing(const std::string& folder);
  // Runs inside every later FindFirstFile with its pattern.
  void OnFindFirstFile(std::function<void(const std::string&)> action) {
    onFindFirstFile_ = std::move(action);
  }
  // Every later MoveFileEx fails, as where file virtualization refuses it.
  void RefuseMoves() { refuseMoves_ = true; }
  // Every later MoveFileEx replaces a read-only file as Wine's does, where
  // Windows refuses: for the tests of the product's own guard against it.
  void ReplaceReadOnlyFilesOnMove() { movesReplaceReadOnly_ = true; }
  // An empty path: the Windows directory cannot be obtained.
  void SetWindowsDirectory(const std::string& path);
  // The file's version information: the 16-bit block built from `resource`,
  // or a raw `block` as it is.
  void SetVersionResource(const std::string& path, const VersionResource& resource);
  void SetVersionBlock(const std::string& path, std::vector<std::uint8_t> block);
  // Every later GetFileVersionInfo fails.
  void FailVersionReads() { failVersionReads_ = true; }
  void SetWorkArea(const Rect& area) { workArea_ = area; }
  void SetWindowMetrics(std::int32_t borderWidth, std::int32_t captionHeight) {
    borderWidth_ = borderWidth;
    captionHeight_ = captionHeight;
  }
  // Every later SystemParametersInfo fails.
  void FailScreenQueries() { failScreenQueries_ = true; }
  // The label of the existing drive `drive` ("D:").
  void SetVolumeLabel(const std::string& drive, const std::string& label);
  // The user's locale, which CompareString's LocaleUserDefault follows.
  void SetUserLocale(std::uint32_t locale) { userLocale_ = locale; }
  // CompareString fails for LocaleInvariant, as before Windows 2000.
  void LackInvariantLocale() { lacksInvariantLocale_ = true; }

  // The text with its Windows-1252 letters, accented ones too, in upper
  // case: how Windows matches names without regard to case.
  static std::string CaseFolded(const std::string& text);
  // Equal under that folding, without a copy of either.
  static bool EqualWithoutCase(std::string_view first, std::string_view second);

  // --- inspection ---
  std::optional<std::string> FileContent(const std::string& path) const;
  const std::vector<ShownBox>& Boxes() const { return boxes_; }
  const std::vector<StartedProcess>& StartedProcesses() const { return started_; }
  std::size_t CreateProcessCalls() const { return createProcessCalls_; }
  std::size_t CompareStringCalls() const { return compareStringCalls_; }
  // What the product last passed: the metrics record's size (cbSize) and
  // the size of the volume name buffer; 0 before the first call.
  std::uint32_t MetricsSizeAsked() const { return metricsSizeAsked_; }
  std::uint32_t VolumeNameSizeAsked() const { return volumeNameSizeAsked_; }
  std::size_t OpenHandleCount() const {
    return openFiles_.size() + openSearches_.size() + openKeys_.size() + loaded_.size();
  }
  // Every path LoadLibrary was asked for, in order.
  const std::vector<std::string>& LibraryRequests() const { return libraryRequests_; }
  bool RegistryKeyExists(Handle root, const std::string& key) const;
  std::optional<RegistryValue> RegistryValueOf(Handle root, const std::string& key,
                                               const std::string& name) const;
  // The key's path below its root, and the names of its values, as they were
  // first written: a later write in another case keeps them, as in Windows.
  std::optional<std::string> RegistryKeyAsWritten(Handle root, const std::string& key) const;
  std::vector<std::string> RegistryValueNames(Handle root, const std::string& key) const;
  // The key of every value the product set or deleted, in order, with its
  // root and as written ("HKCR\\.lmr").
  const std::vector<std::string>& RegistryChanges() const { return registryChanges_; }

  // --- Win32Api ---
  std::string GetCommandLine() override { return commandLine_; }
  std::string GetModuleFileName() override { return moduleFileName_; }
  bool CreateProcess(const std::string& commandLine, std::uint32_t creationFlags,
                     const StartupInfo& startup) override;
  std::intptr_t FindExecutable(const std::string& file, const std::string& directory,
                               std::string& result) override;
  Handle FindFirstFile(const std::string& pattern, FindData& data) override;
  void FindClose(Handle search) override;
  bool FileTimeToLocalFileTime(std::uint64_t fileTime, std::uint64_t& local) override;
  bool FileTimeToDosDateTime(std::uint64_t fileTime, DosDateTime& dos) override;
  Handle CreateFile(const std::string& path, FileCreation creation) override;
  bool WriteFile(Handle file, const void* data, std::uint32_t size,
                 std::uint32_t& written) override;
  bool ReadFile(Handle file, void* data, std::uint32_t size, std::uint32_t& read) override;
  bool GetFileSize(Handle file, std::uint64_t& size) override;
  void CloseHandle(Handle object) override;
  void MessageBox(const std::string& text, const std::string& caption,
                  MessageBoxIcon icon) override;
  std::int32_t RegCreateKeyEx(Handle parent, const std::string& subKey, std::uint32_t access,
                              Handle& key) override;
  std::int32_t RegOpenKeyEx(Handle parent, const std::string& subKey, std::uint32_t access,
                            Handle& key) override;
  std::int32_t RegQueryValueEx(Handle key, const std::string& name, std::uint32_t& type,
                               std::uint8_t* data, std::uint32_t& size) override;
  std::int32_t RegSetValueEx(Handle key, const std::string& name, std::uint32_t type,
                             const std::uint8_t* data, std::uint32_t size) override;
  std::int32_t RegDeleteValue(Handle key, const std::string& name) override;
  std::int32_t RegCloseKey(Handle key) override;
  std::uint32_t GetSystemDirectory(std::string& directory, std::uint32_t bufferSize) override;
  Handle LoadLibrary(const std::string& path) override;
  std::uintptr_t GetProcAddress(Handle library, const std::string& name) override;
  std::int32_t CallEntryPoint(std::uintptr_t entry) override;
  void FreeLibrary(Handle library) override;

  // --- Win32Api: browser detection ---
  bool FindNextFile(Handle search, FindData& data) override;
  bool MoveFileEx(const std::string& existing, const std::string& newName,
                  std::uint32_t flags) override;
  bool DeleteFile(const std::string& path) override;
  std::uint32_t GetPrivateProfileString(const std::string& section, const std::string& key,
                                        const std::string& defaultValue, std::string& value,
                                        std::uint32_t size, const std::string& fileName) override;
  std::uint32_t GetWindowsDirectory(std::string& directory, std::uint32_t size) override;
  std::uint32_t GetFileVersionInfoSize(const std::string& fileName, std::uint32_t& handle) override;
  bool GetFileVersionInfo(const std::string& fileName, std::uint32_t handle, std::uint32_t size,
                          std::vector<std::uint8_t>& block) override;
  bool VerQueryValue(std::vector<std::uint8_t>& block, const std::string& subBlock,
                     VersionValue& value) override;
  bool SystemParametersInfo(std::uint32_t action, std::uint32_t parameter, Rect& workArea,
                            std::uint32_t winIni) override;
  bool SystemParametersInfo(std::uint32_t action, std::uint32_t parameter,
                            NonClientMetrics& metrics, std::uint32_t winIni) override;
  bool GetVolumeInformation(const std::string& root, std::uint32_t volumeNameSize,
                            std::uint32_t fileSystemNameSize, VolumeInformation& volume) override;
  int CompareString(std::uint32_t locale, std::uint32_t flags, const std::string& first,
                    const std::string& second) override;

  // --- start page and file-error diagnosis: temp path, clock, drives ---
  // What TMP holds; GetTempPath gives it with a final "\".
  void SetTempPath(const std::string& path) {
    tempPath_ = path;
    tempPathAsWritten_ = false;
  }
  // GetTempPath gives `path` as written, without adding the final "\"
  // Windows adds: for the product's own rule that adds one.
  void SetTempPathAsWritten(const std::string& path) {
    tempPath_ = path;
    tempPathAsWritten_ = true;
  }
  // Every later GetTempPath fails.
  void FailTempPath() { tempPath_.reset(); }
  // A drive and its root folder. C: starts as a fixed disk, D: as a CD-ROM
  // with no room; a folder on any other drive makes that drive a fixed disk.
  // Writes fail once they would take more than the free bytes.
  void AddDrive(char letter, std::uint32_t type, std::uint64_t totalBytes, std::uint64_t freeBytes);
  // The clock, as a FILETIME; the model's time zone is UTC.
  void SetClock(std::uint64_t fileTime) { clock_ = fileTime; }

  std::uint32_t GetTempPath(std::string& path) override;
  void GetLocalTime(SystemTime& time) override;
  std::uint32_t GetFileAttributes(const std::string& path) override;
  std::uint32_t GetDriveType(const std::string& root) override;
  bool GetDiskFreeSpaceEx(const std::string& root, std::uint64_t& freeBytesAvailable,
                          std::uint64_t& totalBytes) override;
  // Know Dutch and US English; LocaleUserDefault follows SetUserLocale.
  bool GetDateFormat(std::uint32_t locale, std::uint32_t flags, const SystemTime& time,
                     std::string& text) override;
  bool GetTimeFormat(std::uint32_t locale, std::uint32_t flags, const SystemTime& time,
                     std::string& text) override;

 private:
  struct OpenKey {
    std::string path;  // the full path, root included, case-folded
    bool writable;
  };
  struct StoredValue {
    std::string name;  // as first written
    RegistryValue value;
  };
  struct RegistryKey {
    std::string path;                          // as first written, root included
    std::map<std::string, StoredValue> values;  // by case-folded name
  };
  struct Entry {
    std::uint32_t attributes;
    std::uint64_t lastWriteTime;
    std::string content;
    std::string name = "";        // as created, in its own case
    std::string linkTarget = "";  // key of the folder a directory link leads to
    std::vector<std::uint8_t> versionBlock = {};
  };

  struct OpenFile {
    std::string key;
    bool writable;
    std::size_t position;
  };

  static std::string KeyOf(const std::string& path);
  // Everything before the last "\" (empty when there is none).
  static std::string ParentOf(const std::string& path);
  const Entry* Find(const std::string& path) const;
  // The key with every directory link along it followed.
  std::string ResolvedKey(const std::string& key) const;
  // What FindFirstFile finds for a pattern: one entry, or a folder's list.
  std::vector<FindData> Matches(const std::string& pattern) const;
  std::vector<FindData> FolderListing(const std::string& folder) const;
  bool IsOpen(const std::string& key, bool forWriting) const;
  OpenFile& OpenFileOf(Handle file, const char* call);
  bool IsFolder(const std::string& path) const;
  std::optional<std::string> ClassesRootDefault(const std::string& key) const;
  Handle NewHandle() { return nextHandle_++; }
  // The full path of `subKey` below `parent`, in the case of the keys that
  // exist and of `subKey` for the rest.
  std::optional<std::string> KeyPath(Handle parent, const std::string& subKey) const;
  // Makes the key at the full path and every missing key above it.
  void CreateRegistryKey(const std::string& path);
  void StoreValue(const std::string& foldedKey, const std::string& name, RegistryValue value);
  const RegistryKey* RegistryKeyOf(Handle root, const std::string& key) const;
  std::int32_t OpenRegistryKey(Handle parent, const std::string& subKey, std::uint32_t access,
                               bool create, Handle& key);
  const OpenKey* OpenKeyOf(Handle key) const;

  std::string moduleFileName_;
  std::string commandLine_;
  std::map<std::string, Entry> entries_;  // by upper-case path, no final "\"
  std::map<Handle, OpenFile> openFiles_;
  // windows_model_registry.cpp: keys by full case-folded path ("HKCR\\.HTM").
  // Registry names compare as CaseFolded() folds them, accented letters too.
  std::map<std::string, RegistryKey> registry_;
  std::set<std::string> deniedKeys_;    // case-folded paths
  std::set<std::string> readOnlyKeys_;  // likewise
  std::map<Handle, OpenKey> openKeys_;
  std::vector<std::string> registryChanges_;
  // windows_model_library.cpp
  std::string systemDirectory_ = "C:\\WINDOWS\\SYSTEM32";
  std::map<std::string, std::map<std::string, EntryPoint>> libraries_;  // by file key
  std::set<std::string> unloadable_;
  std::map<Handle, std::string> loaded_;  // handle -> file key
  std::vector<EntryPoint> entryPoints_;   // an entry's address is its index + 1
  std::vector<std::string> libraryRequests_;
  std::map<Handle, std::vector<FindData>> openSearches_;  // entries still to give
  Handle nextHandle_ = 0x100;
  bool failWrites_ = false;
  std::set<std::string> newFilesDenied_;  // folder keys
  bool failProcessStarts_ = false;
  std::function<void()> onFindExecutable_;
  std::function<void(const std::string&)> onFindFirstFile_;
  std::set<std::string> unlistable_;
  bool refuseMoves_ = false;
  bool movesReplaceReadOnly_ = false;
  std::string windowsDirectory_ = "C:\\WINDOWS";
  bool failVersionReads_ = false;
  Rect workArea_{0, 0, 800, 572};
  std::int32_t borderWidth_ = 1;
  std::int32_t captionHeight_ = 18;
  bool failScreenQueries_ = false;
  std::uint32_t metricsSizeAsked_ = 0;
  std::uint32_t volumeNameSizeAsked_ = 0;
  std::map<std::string, std::string> volumeLabels_;  // by upper-case drive ("D:")
  std::uint32_t userLocale_ = 0x0413;                // Dutch (Netherlands)
  bool lacksInvariantLocale_ = false;
  std::vector<ShownBox> boxes_;
  std::vector<StartedProcess> started_;
  std::size_t createProcessCalls_ = 0;
  std::size_t compareStringCalls_ = 0;

  struct Drive {
    std::uint32_t type;
    std::uint64_t totalBytes;
    std::uint64_t freeBytes;
  };
  const Drive* DriveOfRoot(const std::string& root) const;

  std::optional<std::string> tempPath_ = "C:\\WINDOWS\\TEMP";
  bool tempPathAsWritten_ = false;
  std::map<char, Drive> drives_;  // by upper-case letter
  std::uint64_t clock_ = Now;
};

}  // namespace tarvo
