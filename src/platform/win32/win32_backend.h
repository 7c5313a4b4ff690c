// The real Windows behind the seam: each method is one Win32 call.
#pragma once

#include "platform/win32/procedure.h"
#include "platform/win32_api.h"

namespace tarvo {

class Win32Backend final : public Win32Api {
 public:
  explicit Win32Backend(const OptionalCalls& calls = OptionalCalls::OfThisSystem())
      : calls_(calls) {}

  std::string GetCommandLine() override;
  std::string GetModuleFileName() override;
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

  // Browser detection; beyond these three: profile_backend.cpp,
  // version_backend.cpp, system_backend.cpp.
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
  void MessageBox(const std::string& text, const std::string& caption,
                  MessageBoxIcon icon) override;

  // registry_backend.cpp
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

  // library_backend.cpp
  std::uint32_t GetSystemDirectory(std::string& directory, std::uint32_t bufferSize) override;
  Handle LoadLibrary(const std::string& path) override;
  std::uintptr_t GetProcAddress(Handle library, const std::string& name) override;
  std::int32_t CallEntryPoint(std::uintptr_t entry) override;
  void FreeLibrary(Handle library) override;

  // Start page and file-error diagnosis: file_system_backend.cpp, clock_backend.cpp.
  std::uint32_t GetTempPath(std::string& path) override;
  void GetLocalTime(SystemTime& time) override;
  std::uint32_t GetFileAttributes(const std::string& path) override;
  std::uint32_t GetDriveType(const std::string& root) override;
  bool GetDiskFreeSpaceEx(const std::string& root, std::uint64_t& freeBytesAvailable,
                          std::uint64_t& totalBytes) override;
  bool GetDateFormat(std::uint32_t locale, std::uint32_t flags, const SystemTime& time,
                     std::string& text) override;
  bool GetTimeFormat(std::uint32_t locale, std::uint32_t flags, const SystemTime& time,
                     std::string& text) override;

 private:
  const OptionalCalls calls_;
};

}  // namespace tarvo
