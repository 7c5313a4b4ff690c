// The model's temp path, file attributes and drives.
#include "platform/ascii_case.h"
#include "support/windows_model.h"

namespace tarvo {

void WindowsModel::AddDrive(char letter, std::uint32_t type, std::uint64_t totalBytes,
                            std::uint64_t freeBytes) {
  const std::string root = AsciiUpperCase(std::string(1, letter) + ":");
  drives_[root.front()] = {type, totalBytes, freeBytes};
  AddFolder(root);
}

const WindowsModel::Drive* WindowsModel::DriveOfRoot(const std::string& root) const {
  if (root.size() != 3 || root.substr(1) != ":\\") return nullptr;
  const auto found = drives_.find(AsciiUpperCase(root).front());
  return found == drives_.end() ? nullptr : &found->second;
}

std::uint32_t WindowsModel::GetTempPath(std::string& path) {
  if (!tempPath_) return 0;
  std::string result = *tempPath_;
  if (!tempPathAsWritten_ && (result.empty() || result.back() != '\\')) result += '\\';
  const auto length = static_cast<std::uint32_t>(result.size());
  if (length >= TempPathBufferSize) return length + 1;  // the size with the final NUL
  path = result;
  return length;
}

std::uint32_t WindowsModel::GetFileAttributes(const std::string& path) {
  const bool namedAsFolder = !path.empty() && path.back() == '\\';
  const Entry* entry = Find(namedAsFolder ? path.substr(0, path.size() - 1) : path);
  if (!entry || (namedAsFolder && !(entry->attributes & FileAttributeDirectory))) {
    return InvalidFileAttributes;
  }
  return entry->attributes;
}

std::uint32_t WindowsModel::GetDriveType(const std::string& root) {
  const Drive* drive = DriveOfRoot(root);
  return drive ? drive->type : DriveNoRootDir;
}

bool WindowsModel::GetDiskFreeSpaceEx(const std::string& root, std::uint64_t& freeBytesAvailable,
                                      std::uint64_t& totalBytes) {
  const Drive* drive = DriveOfRoot(root);
  if (!drive) return false;
  freeBytesAvailable = drive->freeBytes;
  totalBytes = drive->totalBytes;
  return true;
}

}  // namespace tarvo
