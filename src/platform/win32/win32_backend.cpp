#include "platform/win32/win32_backend.h"

#include <vector>

#include "platform/win32/scoped_handle.h"
#include "platform/win32/windows_headers.h"

namespace tarvo {

namespace {

constexpr DWORD FindExecutableBufferSize = 1024;

FILETIME ToFileTime(std::uint64_t value) {
  FILETIME time;
  time.dwLowDateTime = static_cast<DWORD>(value);
  time.dwHighDateTime = static_cast<DWORD>(value >> 32);
  return time;
}

std::uint64_t FromFileTime(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

Handle FromWin32(HANDLE handle) {
  return handle == INVALID_HANDLE_VALUE ? NoHandle : reinterpret_cast<Handle>(handle);
}

HANDLE ToWin32(Handle handle) { return reinterpret_cast<HANDLE>(handle); }

void CopyFindData(const WIN32_FIND_DATAA& found, FindData& data) {
  data.attributes = found.dwFileAttributes;
  data.lastWriteTime = FromFileTime(found.ftLastWriteTime);
  data.name = found.cFileName;
}

}  // namespace

std::string Win32Backend::GetCommandLine() { return GetCommandLineA(); }

std::string Win32Backend::GetModuleFileName() {
  // Grows until the path fits: the call truncates silently otherwise.
  std::vector<char> buffer(MAX_PATH + 1);
  while (true) {
    const DWORD length =
        GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

bool Win32Backend::CreateProcess(const std::string& commandLine, std::uint32_t creationFlags,
                                 const StartupInfo& startup) {
  STARTUPINFOA startupInfo = {};
  startupInfo.cb = sizeof startupInfo;
  startupInfo.dwFlags = startup.flags;
  startupInfo.wShowWindow = startup.showWindow;
  PROCESS_INFORMATION process = {};
  // CreateProcessA may write into the command line.
  std::vector<char> mutableCommandLine(commandLine.begin(), commandLine.end());
  mutableCommandLine.push_back('\0');
  if (!CreateProcessA(nullptr, mutableCommandLine.data(), nullptr, nullptr, FALSE, creationFlags,
                      nullptr, nullptr, &startupInfo, &process)) {
    return false;
  }
  // The product never uses the new process's handles.
  const ScopedHandle processHandle(process.hProcess);
  const ScopedHandle threadHandle(process.hThread);
  return true;
}

std::intptr_t Win32Backend::FindExecutable(const std::string& file, const std::string& directory,
                                           std::string& result) {
  // No ANSI call reaches a file by so long a name, and Wine's shell overruns
  // a fixed buffer of its own on one (from about a thousand characters on).
  if (file.size() >= MAX_PATH) return SE_ERR_FNF;
  char buffer[FindExecutableBufferSize] = {};
  const auto code =
      reinterpret_cast<std::intptr_t>(FindExecutableA(file.c_str(), directory.c_str(), buffer));
  if (code > 32) result = buffer;
  return code;
}

Handle Win32Backend::FindFirstFile(const std::string& pattern, FindData& data) {
  WIN32_FIND_DATAA found;
  const Handle search = FromWin32(FindFirstFileA(pattern.c_str(), &found));
  if (search != NoHandle) CopyFindData(found, data);
  return search;
}

void Win32Backend::FindClose(Handle search) { ::FindClose(ToWin32(search)); }

bool Win32Backend::FileTimeToLocalFileTime(std::uint64_t fileTime, std::uint64_t& local) {
  const FILETIME utc = ToFileTime(fileTime);
  FILETIME converted;
  if (!::FileTimeToLocalFileTime(&utc, &converted)) return false;
  local = FromFileTime(converted);
  return true;
}

bool Win32Backend::FileTimeToDosDateTime(std::uint64_t fileTime, DosDateTime& dos) {
  const FILETIME time = ToFileTime(fileTime);
  WORD date = 0;
  WORD clock = 0;
  if (!::FileTimeToDosDateTime(&time, &date, &clock)) return false;
  dos.date = date;
  dos.time = clock;
  return true;
}

Handle Win32Backend::CreateFile(const std::string& path, FileCreation creation) {
  switch (creation) {
    case FileCreation::CreateAlways:
      return FromWin32(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    case FileCreation::CreateNew:
      return FromWin32(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                   CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    case FileCreation::OpenExistingRead:
      return FromWin32(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  }
  return NoHandle;
}

bool Win32Backend::WriteFile(Handle file, const void* data, std::uint32_t size,
                             std::uint32_t& written) {
  DWORD count = 0;
  const bool ok = ::WriteFile(ToWin32(file), data, size, &count, nullptr);
  written = count;
  return ok;
}

bool Win32Backend::ReadFile(Handle file, void* data, std::uint32_t size, std::uint32_t& read) {
  DWORD count = 0;
  const bool ok = ::ReadFile(ToWin32(file), data, size, &count, nullptr);
  read = count;
  return ok;
}

bool Win32Backend::GetFileSize(Handle file, std::uint64_t& size) {
  DWORD high = 0;
  const DWORD low = ::GetFileSize(ToWin32(file), &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return false;
  size = (static_cast<std::uint64_t>(high) << 32) | low;
  return true;
}

void Win32Backend::CloseHandle(Handle object) { ::CloseHandle(ToWin32(object)); }

bool Win32Backend::FindNextFile(Handle search, FindData& data) {
  WIN32_FIND_DATAA found;
  if (!FindNextFileA(ToWin32(search), &found)) return false;
  CopyFindData(found, data);
  return true;
}

bool Win32Backend::MoveFileEx(const std::string& existing, const std::string& newName,
                              std::uint32_t flags) {
  return MoveFileExA(existing.c_str(), newName.c_str(), flags);
}

bool Win32Backend::DeleteFile(const std::string& path) { return DeleteFileA(path.c_str()); }

void Win32Backend::MessageBox(const std::string& text, const std::string& caption,
                              MessageBoxIcon icon) {
  // The program has no window of its own: the box must come to the front.
  UINT style = MB_OK | MB_TASKMODAL | MB_SETFOREGROUND;
  if (icon == MessageBoxIcon::Error) style |= MB_ICONERROR;
  MessageBoxA(nullptr, text.c_str(), caption.c_str(), style);
}

}  // namespace tarvo
