#include "app/file_error_diagnosis.h"

#include <cstdint>
#include <optional>

#include "log/log_file.h"
#include "platform/message_box.h"
#include "platform/path_names.h"
#include "platform/run_control.h"
#include "platform/unique_handle.h"
#include "platform/win32_api.h"

namespace tarvo {

namespace {

void Log(const std::string& text, bool problem = false) {
  LogFile->AddLine("xxx EL: " + text, problem);
}

// The last-write time, local and at DOS precision, of the file at `path`;
// none for a folder, a missing file, or a time no DOS date can hold.
std::optional<DosDateTime> ExistingFileTime(const std::string& path) {
  FindData found;
  const UniqueSearch search(Api().FindFirstFile(path, found));
  if (!search || (found.attributes & FileAttributeDirectory)) return std::nullopt;
  std::uint64_t local = 0;
  DosDateTime dos;
  if (!Api().FileTimeToLocalFileTime(found.lastWriteTime, local) ||
      !Api().FileTimeToDosDateTime(local, dos)) {
    return std::nullopt;
  }
  return dos;
}

SystemTime FromDos(DosDateTime dos) {
  SystemTime time;
  time.year = 1980 + (dos.date >> 9);
  time.month = (dos.date >> 5) & 0x0F;
  time.day = dos.date & 0x1F;
  time.hour = dos.time >> 11;
  time.minute = (dos.time >> 5) & 0x3F;
  time.second = (dos.time & 0x1F) * 2;
  return time;
}

// The user's short date, then a blank and the long time unless it is
// midnight. A part the system cannot format stays empty.
std::string DateAndTimeText(DosDateTime dos) {
  const SystemTime time = FromDos(dos);
  std::string date;
  Api().GetDateFormat(LocaleUserDefault, DateShortDate, time, date);
  if (time.hour == 0 && time.minute == 0 && time.second == 0) return date;
  std::string clock;
  Api().GetTimeFormat(LocaleUserDefault, TimeLongFormat, time, clock);
  return date + " " + clock;
}

std::string SignedAttributes(const std::string& path) {
  return std::to_string(static_cast<std::int32_t>(Api().GetFileAttributes(path)));
}

void DescribeFile(const std::string& path, DosDateTime lastWrite) {
  Log("(" + path + " bestaat al)");
  Log("FileDatum = " + DateAndTimeText(lastWrite));
  Log("(File attribute = " + SignedAttributes(path) + ")");
}

const char* DriveTypeText(std::uint32_t type) {
  switch (type) {
    case DriveUnknown:
      return "(Drive type kan niet bepaald worden)";
    case DriveNoRootDir:
      return "(Root directory bestaat niet)";
    case DriveRemovable:
      return "(Drive type is DRIVE_REMOVABLE)";
    case DriveFixed:
      return "(Drive type is DRIVE_FIXED)";
    case DriveRemote:
      return "(Drive type is DRIVE_REMOTE)";
    case DriveCdrom:
      return "(Drive type is DRIVE_CDROM)";
    case DriveRamdisk:
      return "(Drive type is DRIVE_RAMDISK)";
    default:
      return "(Drive type is onbekend)";
  }
}

void DescribeDrive(const std::string& root) {
  Log(DriveTypeText(Api().GetDriveType(root)));
  std::uint64_t freeBytes = 0;
  std::uint64_t totalBytes = 0;
  std::int64_t size = -1;
  std::int64_t free = -1;
  if (Api().GetDiskFreeSpaceEx(root, freeBytes, totalBytes)) {
    size = static_cast<std::int64_t>(totalBytes);
    free = static_cast<std::int64_t>(freeBytes);
  }
  Log("(grootte = " + std::to_string(size) + ")");
  Log("(vrij = " + std::to_string(free) + ")");
}

void DescribeMissingFile(const std::string& path) {
  Log("(" + path + " bestaat niet)");
  const std::string folder = ExtractFilePath(path);
  const std::uint32_t attributes = Api().GetFileAttributes(folder);
  const bool folderExists =
      attributes != InvalidFileAttributes && (attributes & FileAttributeDirectory);
  Log("(" + folder + (folderExists ? " bestaat)" : " bestaat niet)"));
  DescribeDrive(path.substr(0, 1) + ":\\");
}

}  // namespace

void ExceptionLog(const Exception& error, const std::string& path) {
  try {
    Log("(Exception " + std::string(error.ClassName()) + ": " + error.Message() + ")", true);
    if (const auto lastWrite = ExistingFileTime(path)) {
      DescribeFile(path, *lastWrite);
    } else {
      DescribeMissingFile(path);
    }
  } catch (const std::exception& e) {
    LogException(e, true);
  }
  ShowMessage(
      "De benodigde startpagina kon niet gemaakt worden. Volg de aanwijzingen die zo dadelijk "
      "verschijnt...");
  StopProgram();
}

}  // namespace tarvo
