#include "helpdesk/log_command.h"

#include <cstdint>
#include <optional>

#include "helpdesk/log_reading.h"
#include "helpdesk/log_report.h"
#include "helpdesk/log_text.h"
#include "platform/exceptions.h"
#include "platform/file_helpers.h"
#include "platform/unique_handle.h"
#include "platform/win32_api.h"

namespace tarvo {

namespace {

// Far more than any run writes, and little enough to hold in memory on any
// PC: a larger file is no log, whatever it holds.
constexpr std::uint64_t LargestLog = 16 * 1024 * 1024;

std::optional<std::uint64_t> FileSize(const std::string& path) {
  const UniqueFile file(Api().CreateFile(path, FileCreation::OpenExistingRead));
  std::uint64_t size = 0;
  if (!file || !Api().GetFileSize(file.get(), size)) return std::nullopt;
  return size;
}

LogStatus Refuse(std::ostream& error, const std::string& why) {
  error << "tarvo-check: " << why << '\n';
  return LogStatus::NoLog;
}

}  // namespace

LogStatus CheckLog(const std::string& file, bool json, std::ostream& out, std::ostream& error) {
  if (!FileExists(file)) return Refuse(error, "there is no file " + file);
  const auto size = FileSize(file);
  if (!size) return Refuse(error, file + " cannot be opened for reading");
  if (*size > LargestLog) {
    return Refuse(error, file + " is not a launcher log: it holds " + std::to_string(*size) +
                             " bytes, far more than any log");
  }
  std::string bytes;
  try {
    bytes = ReadWholeFile(file);
  } catch (const EStreamError& e) {
    return Refuse(error, file + " cannot be read: " + e.Message());
  }
  LogText text = DecodeLogText(std::move(bytes));
  if (text.problem == LogTextProblem::Empty) return Refuse(error, file + " is empty");
  if (text.problem == LogTextProblem::Binary) {
    return Refuse(error, file + " is not a launcher log: it holds binary data");
  }
  const LogReading reading = ReadLauncherLog(std::move(text));
  if (!reading.launcherLog) {
    return Refuse(error,
                  file + " is not a launcher log: none of its lines is one the launcher writes");
  }
  if (json) {
    WriteLogReadingJson(reading, file, out);
  } else {
    WriteLogReadingText(reading, file, out);
  }
  return reading.findings.empty() ? LogStatus::Clean : LogStatus::Findings;
}

}  // namespace tarvo
