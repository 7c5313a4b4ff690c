// The real Windows as a contract world. Arranging uses Win32 directly, never
// the seam under test.
#include <stdexcept>
#include <vector>

#include "contract/contract_world.h"
#include "platform/win32/scoped_handle.h"
#include "platform/win32/win32_backend.h"
#include "platform/win32/windows_headers.h"

namespace tarvo {

namespace {

class ScopedKey {
 public:
  explicit ScopedKey(const std::string& path) {
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key_, nullptr) != ERROR_SUCCESS) {
      throw std::runtime_error("cannot create HKEY_CLASSES_ROOT\\" + path);
    }
  }
  ~ScopedKey() { RegCloseKey(key_); }
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;

  void SetDefault(const std::string& value) {
    RegSetValueExA(key_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
  }

 private:
  HKEY key_ = nullptr;
};

void Check(bool ok, const std::string& what) {
  if (!ok) throw std::runtime_error(what + " failed, error " + std::to_string(GetLastError()));
}

// Wine's own export that names the Unix file behind a Windows path.
std::string UnixPathOf(const std::string& path) {
  using UnixFileName = char*(CDECL*)(const WCHAR*);
  const auto unixFileName = reinterpret_cast<UnixFileName>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!unixFileName) throw std::runtime_error("directory links are made through Wine only");
  const std::wstring widePath(path.begin(), path.end());
  char* unixPath = unixFileName(widePath.c_str());
  Check(unixPath != nullptr, "wine_get_unix_file_name " + path);
  const std::string result = unixPath;
  HeapFree(GetProcessHeap(), 0, unixPath);
  return result;
}

// Starts a Unix program, which Wine finds in its \\?\unix namespace. Wine
// gives no handle to wait on for it.
void StartUnixProgram(const std::string& program, const std::string& arguments) {
  std::string application = "\\\\?\\unix" + program;
  for (char& c : application) c = c == '/' ? '\\' : c;
  std::string commandLine = program + " " + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  Check(CreateProcessA(application.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &startup, &process),
        "CreateProcess " + program);
  const ScopedHandle processHandle(process.hProcess);
  const ScopedHandle threadHandle(process.hThread);
}

bool IsDirectoryLink(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// A folder no earlier run has made, so that a second run in the same Windows
// starts clean as well.
const std::string& RunFolder() {
  static const std::string folder = [] {
    for (int run = 1;; ++run) {
      const std::string name = "C:\\tarvo-contract-" + std::to_string(run);
      if (CreateDirectoryA(name.c_str(), nullptr)) return name;
    }
  }();
  return folder;
}

class WindowsWorld final : public ContractWorld {
 public:
  explicit WindowsWorld(const std::string& testName) : folder_(RunFolder() + "\\" + testName) {
    Check(CreateDirectoryA(folder_.c_str(), nullptr), "CreateDirectory " + folder_);
  }
  ~WindowsWorld() override {
    if (savedTemp_) {
      SetEnvironmentVariableA("TMP", savedTemp_->empty() ? nullptr : savedTemp_->c_str());
    }
  }
  WindowsWorld(const WindowsWorld&) = delete;
  WindowsWorld& operator=(const WindowsWorld&) = delete;

  Win32Api& Windows() override { return backend_; }
  std::string Folder() override { return folder_; }

  void MakeFolder(const std::string& path) override {
    Check(CreateDirectoryA(path.c_str(), nullptr), "CreateDirectory " + path);
  }

  void MakeFile(const std::string& path, const std::string& content,
                std::uint32_t attributes) override {
    {
      const ScopedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
      Check(file.valid(), "CreateFile " + path);
      DWORD written = 0;
      Check(::WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written,
                        nullptr),
            "WriteFile " + path);
    }
    Check(SetFileAttributesA(path.c_str(), attributes), "SetFileAttributes " + path);
  }

  void MakeProgram(const std::string& path) override {
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    const std::string hostname = std::string(system) + "\\hostname.exe";
    Check(CopyFileA(hostname.c_str(), path.c_str(), TRUE), "CopyFile " + path);
  }

  std::optional<std::string> ReadFile(const std::string& path) override {
    const ScopedHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    if (!file.valid()) return std::nullopt;
    std::string content;
    char buffer[4096];
    DWORD count = 0;
    while (::ReadFile(file.get(), buffer, sizeof buffer, &count, nullptr) && count > 0) {
      content.append(buffer, count);
    }
    return content;
  }

  void ProvideSystemLibrary(const std::string&, const std::string&) override {}

  void Associate(const std::string& extension, const std::string& openCommand) override {
    const std::string type = "TarvoContract" + extension;
    ScopedKey(extension).SetDefault(type);
    ScopedKey(type + "\\shell\\open\\command").SetDefault(openCommand);
  }

  void MakeVersionedProgram(const std::string& path, const VersionResource& resource) override {
    MakeProgram(path);
    std::vector<std::uint8_t> block = UnicodeVersionBlock(resource);
    // Deleting the copied program's own resources leaves ours alone.
    HANDLE update = BeginUpdateResourceA(path.c_str(), TRUE);
    Check(update != nullptr, "BeginUpdateResource " + path);
    Check(UpdateResourceA(update, MAKEINTRESOURCEA(16), MAKEINTRESOURCEA(1),
                          MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), block.data(),
                          static_cast<DWORD>(block.size())),
          "UpdateResource " + path);
    Check(EndUpdateResourceA(update, FALSE), "EndUpdateResource " + path);
  }

  // CreateSymbolicLink does nothing under Wine 8 (and needs a privilege on
  // Windows); a Unix symbolic link is what Wine shows as a directory link.
  void MakeDirectoryLink(const std::string& path, const std::string& target) override {
    StartUnixProgram("/bin/ln", "-s \"" + UnixPathOf(target) + "\" \"" + UnixPathOf(path) + "\"");
    for (int wait = 0; wait < 250 && !IsDirectoryLink(path); ++wait) Sleep(20);
    Check(IsDirectoryLink(path), "symbolic link " + path);
  }

  void SetTempVariable(const std::string& value) override {
    if (!savedTemp_) savedTemp_ = Variable("TMP");
    Check(SetEnvironmentVariableA("TMP", value.c_str()), "SetEnvironmentVariable TMP");
  }

  std::uint32_t UserLocale() override { return GetUserDefaultLCID(); }

  std::uint64_t LocalNow() override {
    FILETIME utc;
    FILETIME local;
    GetSystemTimeAsFileTime(&utc);
    Check(FileTimeToLocalFileTime(&utc, &local), "FileTimeToLocalFileTime");
    return (static_cast<std::uint64_t>(local.dwHighDateTime) << 32) | local.dwLowDateTime;
  }

 private:
  // An unset variable reads as empty.
  static std::string Variable(const char* name) {
    char value[32767] = {};
    return std::string(value, GetEnvironmentVariableA(name, value, sizeof value));
  }

  Win32Backend backend_;
  std::string folder_;
  std::optional<std::string> savedTemp_;  // TMP before the test changed it
};

}  // namespace

std::unique_ptr<ContractWorld> MakeContractWorld(const std::string& testName) {
  return std::make_unique<WindowsWorld>(testName);
}

}  // namespace tarvo
