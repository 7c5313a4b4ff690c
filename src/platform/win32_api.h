// The seam between the product and Windows: one method per Win32 call the
// product makes, in portable types. Texts are 8-bit strings in the ANSI code
// page (Windows-1252), exactly as the "A" functions take and give them.
//
// The real backend (platform/win32) maps each method to one call; the
// in-memory model (tests/support) behaves the same way for what the product
// relies on, which the contract tests pin down.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tarvo {

// An opaque handle owned by the backend. Failure is always NoHandle, also
// where Windows itself uses INVALID_HANDLE_VALUE.
using Handle = std::uintptr_t;
inline constexpr Handle NoHandle = 0;

inline constexpr std::uint32_t FileAttributeReadOnly = 0x01;
inline constexpr std::uint32_t FileAttributeHidden = 0x02;
inline constexpr std::uint32_t FileAttributeDirectory = 0x10;
inline constexpr std::uint32_t FileAttributeArchive = 0x20;
// A directory link (junction or symbolic link); Wine shows a Unix symbolic
// link to a folder this way.
inline constexpr std::uint32_t FileAttributeReparsePoint = 0x400;

// WIN32_FIND_DATA, as far as the product reads it. Times are FILETIME values:
// 100-nanosecond intervals since 1601-01-01, UTC.
struct FindData {
  std::uint32_t attributes = 0;
  std::uint64_t lastWriteTime = 0;
  std::string name;  // cFileName, in the case the file system keeps
};

// The DOS date and time FileTimeToDosDateTime gives.
struct DosDateTime {
  std::uint16_t date = 0;
  std::uint16_t time = 0;
};

enum class FileCreation {
  CreateAlways,      // GENERIC_READ | GENERIC_WRITE, no sharing, CREATE_ALWAYS
  CreateNew,         // the same with CREATE_NEW: fails where that name exists
  OpenExistingRead,  // GENERIC_READ, FILE_SHARE_READ (others may read, not write), OPEN_EXISTING
};

enum class MessageBoxIcon { None, Error };

// STARTUPINFO as the product fills it; cb is the backend's business.
struct StartupInfo {
  std::uint32_t flags = 0;       // dwFlags
  std::uint16_t showWindow = 0;  // wShowWindow
};

inline constexpr std::uint32_t StartfUseShowWindow = 0x1;
inline constexpr std::uint16_t SwShowNormal = 1;
inline constexpr std::uint32_t NormalPriorityClass = 0x20;

// --- browser detection: types and constants of the calls below ---

inline constexpr std::uint32_t MoveFileReplaceExisting = 0x1;
inline constexpr std::uint32_t MoveFileWriteThrough = 0x8;

// Where VerQueryValue found a value: its first byte's offset in the block
// (as far from the block's start as the pointer Windows gives) and the
// length Windows reports, in characters for texts and bytes otherwise.
struct VersionValue {
  std::size_t offset = 0;
  std::uint32_t length = 0;
};

inline constexpr std::uint32_t SpiGetNonClientMetrics = 41;
inline constexpr std::uint32_t SpiGetWorkArea = 48;

struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

// NONCLIENTMETRICSA, as far as the product reads it; `size` is its cbSize.
struct NonClientMetrics {
  std::uint32_t size = 0;
  std::int32_t borderWidth = 0;    // iBorderWidth
  std::int32_t captionHeight = 0;  // iCaptionHeight
};

// What GetVolumeInformationA gives; texts up to their first zero.
struct VolumeInformation {
  std::string volumeName;
  std::uint32_t serialNumber = 0;
  std::uint32_t maximumComponentLength = 0;
  std::uint32_t fileSystemFlags = 0;
  std::string fileSystemName;
};

inline constexpr std::uint32_t LocaleInvariant = 0x007F;
inline constexpr std::uint32_t LocaleUserDefault = 0x0400;
inline constexpr std::uint32_t NormIgnoreCase = 0x1;
inline constexpr int CstrLessThan = 1;
inline constexpr int CstrEqual = 2;
inline constexpr int CstrGreaterThan = 3;

// --- start page and file-error diagnosis: temp path, clock, drives ---

// What GetFileAttributes answers for a path it cannot find.
inline constexpr std::uint32_t InvalidFileAttributes = 0xFFFFFFFF;

// GetTempPath's buffer, in characters.
inline constexpr std::uint32_t TempPathBufferSize = 1024;

// GetDriveType's answers.
inline constexpr std::uint32_t DriveUnknown = 0;
inline constexpr std::uint32_t DriveNoRootDir = 1;
inline constexpr std::uint32_t DriveRemovable = 2;
inline constexpr std::uint32_t DriveFixed = 3;
inline constexpr std::uint32_t DriveRemote = 4;
inline constexpr std::uint32_t DriveCdrom = 5;
inline constexpr std::uint32_t DriveRamdisk = 6;

// SYSTEMTIME.
struct SystemTime {
  std::uint16_t year = 0;
  std::uint16_t month = 0;
  std::uint16_t dayOfWeek = 0;  // 0 is Sunday
  std::uint16_t day = 0;
  std::uint16_t hour = 0;
  std::uint16_t minute = 0;
  std::uint16_t second = 0;
  std::uint16_t milliseconds = 0;
};

inline constexpr std::uint32_t DateShortDate = 0x1;  // GetDateFormat's flag
inline constexpr std::uint32_t TimeLongFormat = 0;   // GetTimeFormat without flags

class Win32Api {
 public:
  virtual ~Win32Api() = default;

  // --- processes (kernel32) ---
  virtual std::string GetCommandLine() = 0;
  // Full path of the running executable.
  virtual std::string GetModuleFileName() = 0;
  // No application name, no security attributes, no inherited handles, the
  // parent's environment and current directory. The new process's handles
  // are not kept. Returns false when the process could not be started.
  virtual bool CreateProcess(const std::string& commandLine, std::uint32_t creationFlags,
                             const StartupInfo& startup) = 0;

  // --- shell (shell32) ---
  // FindExecutableA with a result buffer of 1024 characters: returns the
  // instance value as a signed number (above 32 on success, else an error
  // such as 2 or 31); `result` is set only on success. A `file` of 260
  // (MAX_PATH) characters or more, which no ANSI call can reach, gives 2
  // without asking the shell.
  virtual std::intptr_t FindExecutable(const std::string& file, const std::string& directory,
                                       std::string& result) = 0;

  // --- file system (kernel32) ---
  // Returns NoHandle when nothing matches; `data` is then untouched.
  virtual Handle FindFirstFile(const std::string& pattern, FindData& data) = 0;
  virtual void FindClose(Handle search) = 0;
  // Returns false when the conversion fails; `local` is then untouched.
  virtual bool FileTimeToLocalFileTime(std::uint64_t fileTime, std::uint64_t& local) = 0;
  // Returns false outside the years 1980 to 2107; `dos` is then untouched.
  virtual bool FileTimeToDosDateTime(std::uint64_t fileTime, DosDateTime& dos) = 0;
  virtual Handle CreateFile(const std::string& path, FileCreation creation) = 0;
  // Returns false on failure; `written` tells how much reached the file.
  virtual bool WriteFile(Handle file, const void* data, std::uint32_t size,
                         std::uint32_t& written) = 0;
  // Reads up to `size` bytes; `read` is 0 at the end of the file. Returns
  // false on failure.
  virtual bool ReadFile(Handle file, void* data, std::uint32_t size, std::uint32_t& read) = 0;
  // The size of an open file; returns false when it cannot be told, and
  // `size` is then untouched.
  virtual bool GetFileSize(Handle file, std::uint64_t& size) = 0;
  virtual void CloseHandle(Handle object) = 0;

  // --- directories and file replacement (kernel32) ---
  // The next entry of a search FindFirstFile started; false (and `data`
  // untouched) after the last. A pattern "folder\*.*" lists every entry of
  // the folder, "." and ".." included for any folder but a drive's root.
  virtual bool FindNextFile(Handle search, FindData& data) = 0;
  // Renames a file. Without MoveFileReplaceExisting an existing `newName`
  // makes it fail; with it, a folder, a file that is open or (on Windows) a
  // read-only file there still does. Returns false on failure, and nothing
  // has moved then.
  virtual bool MoveFileEx(const std::string& existing, const std::string& newName,
                          std::uint32_t flags) = 0;
  // Fails for a missing, read-only or open file and for a folder.
  virtual bool DeleteFile(const std::string& path) = 0;

  // --- profile files and the Windows directory (kernel32) ---
  // GetPrivateProfileStringA into a buffer of `size` characters: `value`
  // gets the value of `key` in `section` of the INI file `fileName` (a name
  // without a folder is looked for in the Windows directory), or
  // `defaultValue` when the file, the section or the key is missing.
  // Windows's rules: names are matched without regard to case and blanks at
  // either end; a value loses blanks at either end, then one pair of
  // enclosing quotes; only the first section and the first key of a name
  // count; a default loses its trailing blanks and enclosing quotes; at most
  // `size` - 1 characters are given. Returns the length of `value`.
  virtual std::uint32_t GetPrivateProfileString(const std::string& section, const std::string& key,
                                                const std::string& defaultValue, std::string& value,
                                                std::uint32_t size,
                                                const std::string& fileName) = 0;
  // GetWindowsDirectoryA into a buffer of `size` + 1 characters that Windows
  // is told holds `size`: returns the path's length and sets `directory`;
  // when `size` is too small, returns the size needed, final zero included,
  // and leaves `directory` untouched; returns 0 on failure.
  virtual std::uint32_t GetWindowsDirectory(std::string& directory, std::uint32_t size) = 0;

  // --- version information (version.dll) ---
  // The size of the file's version information, 0 when the file is missing
  // or has none; `handle` is set for GetFileVersionInfo (Windows sets 0).
  virtual std::uint32_t GetFileVersionInfoSize(const std::string& fileName,
                                               std::uint32_t& handle) = 0;
  // Fills `block` (resized to `size` bytes) with the version information.
  // Returns false on failure.
  virtual bool GetFileVersionInfo(const std::string& fileName, std::uint32_t handle,
                                  std::uint32_t size, std::vector<std::uint8_t>& block) = 0;
  // VerQueryValueA on a block from GetFileVersionInfo: `subBlock` names a
  // value such as "\VarFileInfo\Translation" (the translation table,
  // 4 bytes an entry) or "\StringFileInfo\041304E4\FileVersion" (a text,
  // its length counting the final zero), its parts matched without regard
  // to case. Returns false when the value is missing; `value` is then
  // untouched. Windows may write the ANSI copy of a text into the block's
  // spare room. The reported length is Windows's: it may run past the block.
  virtual bool VerQueryValue(std::vector<std::uint8_t>& block, const std::string& subBlock,
                             VersionValue& value) = 0;

  // --- screen (user32) ---
  // SystemParametersInfoA with SPI_GETWORKAREA: the primary screen less the
  // taskbar and other docked bars. Returns false on failure; `workArea` is
  // then untouched.
  virtual bool SystemParametersInfo(std::uint32_t action, std::uint32_t parameter, Rect& workArea,
                                    std::uint32_t winIni) = 0;
  // SystemParametersInfoA with SPI_GETNONCLIENTMETRICS into a record whose
  // cbSize is `metrics.size`; 340, the record of Windows before Vista, is
  // accepted everywhere, and a size Windows does not know fails. On failure
  // `metrics` is untouched.
  virtual bool SystemParametersInfo(std::uint32_t action, std::uint32_t parameter,
                                    NonClientMetrics& metrics, std::uint32_t winIni) = 0;

  // --- volumes (kernel32) ---
  // GetVolumeInformationA for a drive root such as "D:\", with buffers of
  // the given sizes for the two texts. Returns false (`volume` untouched)
  // for a drive that does not exist or a path that is no drive root.
  virtual bool GetVolumeInformation(const std::string& root, std::uint32_t volumeNameSize,
                                    std::uint32_t fileSystemNameSize,
                                    VolumeInformation& volume) = 0;

  // --- locale (kernel32) ---
  // CompareStringA of two whole texts: CstrLessThan, CstrEqual or
  // CstrGreaterThan, or 0 when the locale is not known to the system.
  // NormIgnoreCase makes letters of either case equal, accented ones too.
  virtual int CompareString(std::uint32_t locale, std::uint32_t flags, const std::string& first,
                            const std::string& second) = 0;

  // --- user interface (user32) ---
  // A task-modal box with one OK button, centred on the screen; returns when
  // the user has closed it.
  virtual void MessageBox(const std::string& text, const std::string& caption,
                          MessageBoxIcon icon) = 0;

  // --- registry (advapi32) ---
  // Each returns the Win32 error code (RegistrySuccess on success). Keys are
  // handles; the roots are predefined and never need closing. An out-
  // parameter is set only on success, except where said.
  //
  // RegCreateKeyExA: opens `subKey` below `parent`, creating it and every
  // missing key above it (REG_OPTION_NON_VOLATILE, no class, no security
  // attributes).
  virtual std::int32_t RegCreateKeyEx(Handle parent, const std::string& subKey,
                                      std::uint32_t access, Handle& key) = 0;
  // RegOpenKeyExA: opens an existing key only.
  virtual std::int32_t RegOpenKeyEx(Handle parent, const std::string& subKey, std::uint32_t access,
                                    Handle& key) = 0;
  // RegQueryValueExA; an empty name is the key's default value. Without
  // `data` it tells only `type` and `size`. With it, `size` is the buffer's
  // size going in; a value that does not fit gives RegistryMoreData with
  // `type` and the value's `size` set and the buffer's content undefined.
  virtual std::int32_t RegQueryValueEx(Handle key, const std::string& name, std::uint32_t& type,
                                       std::uint8_t* data, std::uint32_t& size) = 0;
  // RegSetValueExA with the bytes as given (a REG_SZ text includes its
  // terminating zero).
  virtual std::int32_t RegSetValueEx(Handle key, const std::string& name, std::uint32_t type,
                                     const std::uint8_t* data, std::uint32_t size) = 0;
  virtual std::int32_t RegDeleteValue(Handle key, const std::string& name) = 0;
  virtual std::int32_t RegCloseKey(Handle key) = 0;

  // --- libraries (kernel32) ---
  // GetSystemDirectoryA into a buffer of `bufferSize` characters: returns the
  // length of the path, or the size it needs when it does not fit, or 0 on
  // failure; `directory` is set only when the path fit.
  virtual std::uint32_t GetSystemDirectory(std::string& directory, std::uint32_t bufferSize) = 0;
  // LoadLibraryA; NoHandle on failure.
  virtual Handle LoadLibrary(const std::string& path) = 0;
  // GetProcAddress of an exported function by its exact name; 0 when the
  // library has none of that name.
  virtual std::uintptr_t GetProcAddress(Handle library, const std::string& name) = 0;
  // Calls an entry point of the form `HRESULT __stdcall Entry(void)`, such as
  // DllRegisterServer, and returns its result.
  virtual std::int32_t CallEntryPoint(std::uintptr_t entry) = 0;
  virtual void FreeLibrary(Handle library) = 0;

  // --- start page and file-error diagnosis (kernel32) ---
  // GetTempPathA with a buffer of TempPathBufferSize characters. Returns the
  // length of the path, which ends in "\", when it fits (and sets `path` to
  // it); the size the buffer would need when it does not fit; 0 on failure.
  // `path` is untouched unless the path fit. The folder need not exist.
  virtual std::uint32_t GetTempPath(std::string& path) = 0;
  virtual void GetLocalTime(SystemTime& time) = 0;
  // InvalidFileAttributes when the path cannot be found. A folder may be
  // named with a final "\", a file may not.
  virtual std::uint32_t GetFileAttributes(const std::string& path) = 0;
  // One of the Drive... values for a root such as "C:\"; DriveNoRootDir for
  // a drive that does not exist.
  virtual std::uint32_t GetDriveType(const std::string& root) = 0;
  // GetDiskFreeSpaceExA for a root such as "C:\": the bytes free to this
  // user and the drive's size. Where the system lacks that call (the first
  // Windows 95), GetDiskFreeSpaceA's clusters times sectors per cluster times
  // bytes per sector. Returns false when the drive cannot be asked; the
  // outputs are then untouched.
  virtual bool GetDiskFreeSpaceEx(const std::string& root, std::uint64_t& freeBytesAvailable,
                                  std::uint64_t& totalBytes) = 0;
  // GetDateFormatA and GetTimeFormatA without a format picture: `time` in
  // the locale's format chosen by `flags` (DateShortDate; TimeLongFormat).
  // Return false when the locale or time is refused; `text` is then
  // untouched.
  virtual bool GetDateFormat(std::uint32_t locale, std::uint32_t flags, const SystemTime& time,
                             std::string& text) = 0;
  virtual bool GetTimeFormat(std::uint32_t locale, std::uint32_t flags, const SystemTime& time,
                             std::string& text) = 0;
};

inline constexpr Handle HkeyClassesRoot = 0x80000000;
inline constexpr Handle HkeyCurrentUser = 0x80000001;

inline constexpr std::uint32_t RegSz = 1;
inline constexpr std::uint32_t RegBinary = 3;
inline constexpr std::uint32_t RegDword = 4;

inline constexpr std::uint32_t KeyRead = 0x20019;
inline constexpr std::uint32_t KeyAllAccess = 0xF003F;

inline constexpr std::int32_t RegistrySuccess = 0;     // ERROR_SUCCESS
inline constexpr std::int32_t RegistryNotFound = 2;    // ERROR_FILE_NOT_FOUND
inline constexpr std::int32_t RegistryDenied = 5;      // ERROR_ACCESS_DENIED
inline constexpr std::int32_t RegistryBadHandle = 6;   // ERROR_INVALID_HANDLE
inline constexpr std::int32_t RegistryMoreData = 234;  // ERROR_MORE_DATA

// The backend the product talks to, installed once at start (and by tests).
Win32Api& Api();
void InstallApi(Win32Api& api);

}  // namespace tarvo
