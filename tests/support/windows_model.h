// An in-memory Windows for the unit tests: files and folders on drives, file
// associations under HKEY_CLASSES_ROOT, started processes and message boxes,
// behaving like Windows for what the product relies on (the contract tests
// hold it to that). Set it up in a few lines; inject failures where Windows
// would fail.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/win32_api.h"

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

class WindowsModel final : public Win32Api {
 public:
  // 2026-12-08 12:00 UTC: the model's clock unless set, and the time of
  // files and folders set up without one.
  static constexpr std::uint64_t Now = 134412048000000000;

  // Drive C: exists; the program runs as D:\TARVO32.EXE without arguments.
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
  // Every later CreateProcess fails, as for a program Windows cannot run.
  void FailProcessStarts() { failProcessStarts_ = true; }
  // Runs inside every later FindExecutable, so that a test can raise an
  // error from the middle of a run.
  void OnFindExecutable(std::function<void()> action) { onFindExecutable_ = std::move(action); }

  // --- inspection ---
  std::optional<std::string> FileContent(const std::string& path) const;
  const std::vector<ShownBox>& Boxes() const { return boxes_; }
  const std::vector<StartedProcess>& StartedProcesses() const { return started_; }
  std::size_t CreateProcessCalls() const { return createProcessCalls_; }
  std::size_t OpenHandleCount() const {
    return openFiles_.size() + openSearches_.size() + openKeys_.size() + loaded_.size();
  }
  // Every path LoadLibrary was asked for, in order.
  const std::vector<std::string>& LibraryRequests() const { return libraryRequests_; }
  bool RegistryKeyExists(Handle root, const std::string& key) const;
  std::optional<RegistryValue> RegistryValueOf(Handle root, const std::string& key,
                                               const std::string& name) const;

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

  // --- start page and file-error diagnosis: temp path, clock, drives ---
  // (windows_model_disk.cpp, windows_model_clock.cpp)
  // What TMP holds; GetTempPath gives it with a final "\". The model starts
  // with the existing folder C:\WINDOWS\TEMP.
  void SetTempPath(const std::string& path) { tempPath_ = path; }
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
  // Knows Dutch (the user's default) and US English.
  bool GetDateFormat(std::uint32_t locale, std::uint32_t flags, const SystemTime& time,
                     std::string& text) override;
  bool GetTimeFormat(std::uint32_t locale, std::uint32_t flags, const SystemTime& time,
                     std::string& text) override;

 private:
  struct OpenKey {
    std::string path;  // the full upper-case path, root included
    bool writable;
  };
  struct Entry {
    std::uint32_t attributes;
    std::uint64_t lastWriteTime;
    std::string content;
  };

  struct OpenFile {
    std::string key;
    bool writable;
    std::size_t position;
  };

  static std::string KeyOf(const std::string& path);
  const Entry* Find(const std::string& path) const;
  bool IsOpen(const std::string& key, bool forWriting) const;
  OpenFile& OpenFileOf(Handle file, const char* call);
  bool IsFolder(const std::string& path) const;
  std::optional<std::string> ClassesRootDefault(const std::string& key) const;
  Handle NewHandle() { return nextHandle_++; }
  std::optional<std::string> KeyPath(Handle parent, const std::string& subKey) const;
  std::int32_t OpenRegistryKey(Handle parent, const std::string& subKey, std::uint32_t access,
                               bool create, Handle& key);
  const OpenKey* OpenKeyOf(Handle key) const;

  std::string moduleFileName_;
  std::string commandLine_;
  std::map<std::string, Entry> entries_;  // by upper-case path, no final "\"
  std::map<Handle, OpenFile> openFiles_;
  // windows_model_registry.cpp: keys by full upper-case path ("HKCR\\.HTM"),
  // each with its values by upper-case name.
  std::map<std::string, std::map<std::string, RegistryValue>> registry_;
  std::set<std::string> deniedKeys_;
  std::set<std::string> readOnlyKeys_;
  std::map<Handle, OpenKey> openKeys_;
  // windows_model_library.cpp
  std::string systemDirectory_ = "C:\\WINDOWS\\SYSTEM32";
  std::map<std::string, std::map<std::string, EntryPoint>> libraries_;  // by file key
  std::set<std::string> unloadable_;
  std::map<Handle, std::string> loaded_;  // handle -> file key
  std::vector<EntryPoint> entryPoints_;   // an entry's address is its index + 1
  std::vector<std::string> libraryRequests_;
  std::set<Handle> openSearches_;
  Handle nextHandle_ = 0x100;
  bool failWrites_ = false;
  bool failProcessStarts_ = false;
  std::function<void()> onFindExecutable_;
  std::vector<ShownBox> boxes_;
  std::vector<StartedProcess> started_;
  std::size_t createProcessCalls_ = 0;

  struct Drive {
    std::uint32_t type;
    std::uint64_t totalBytes;
    std::uint64_t freeBytes;
  };
  const Drive* DriveOfRoot(const std::string& root) const;

  std::optional<std::string> tempPath_ = "C:\\WINDOWS\\TEMP";
  std::map<char, Drive> drives_;  // by upper-case letter
  std::uint64_t clock_ = Now;
};

}  // namespace tarvo
