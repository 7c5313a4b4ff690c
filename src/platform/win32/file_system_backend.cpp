// The file-system calls of the start page and of the file-error diagnosis.
#include <cstring>

#include "platform/win32/win32_backend.h"
#include "platform/win32/windows_headers.h"

namespace tarvo {

std::uint32_t Win32Backend::GetTempPath(std::string& path) {
  char buffer[TempPathBufferSize] = {};
  const DWORD length = GetTempPathA(TempPathBufferSize, buffer);
  if (length > 0 && length <= TempPathBufferSize) {
    path.assign(buffer, strnlen(buffer, TempPathBufferSize));
  }
  return length;
}

std::uint32_t Win32Backend::GetFileAttributes(const std::string& path) {
  return GetFileAttributesA(path.c_str());
}

std::uint32_t Win32Backend::GetDriveType(const std::string& root) {
  return GetDriveTypeA(root.c_str());
}

bool Win32Backend::GetDiskFreeSpaceEx(const std::string& root, std::uint64_t& freeBytesAvailable,
                                      std::uint64_t& totalBytes) {
  if (calls_.getDiskFreeSpaceEx) {
    ULARGE_INTEGER available;
    ULARGE_INTEGER total;
    if (!calls_.getDiskFreeSpaceEx(root.c_str(), &available, &total, nullptr)) return false;
    freeBytesAvailable = available.QuadPart;
    totalBytes = total.QuadPart;
    return true;
  }
  DWORD sectorsPerCluster = 0;
  DWORD bytesPerSector = 0;
  DWORD freeClusters = 0;
  DWORD totalClusters = 0;
  if (!GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters,
                         &totalClusters)) {
    return false;
  }
  const std::uint64_t clusterBytes = std::uint64_t{sectorsPerCluster} * bytesPerSector;
  freeBytesAvailable = clusterBytes * freeClusters;
  totalBytes = clusterBytes * totalClusters;
  return true;
}

}  // namespace tarvo
