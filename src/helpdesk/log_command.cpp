#include "helpdesk/log_command.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "helpdesk/log_mailbox.h"
#include "helpdesk/log_reading.h"
#include "helpdesk/log_report.h"
#include "helpdesk/log_text.h"
#include "helpdesk/mail_message.h"
#include "platform/ascii_case.h"
#include "platform/exceptions.h"
#include "platform/file_helpers.h"
#include "platform/unique_handle.h"
#include "platform/win32_api.h"

namespace tarvo {

namespace {

// Far more than any run writes: a larger file is no log, whatever it holds.
// The reading holds the text about once and small entries for its lines.
constexpr std::uint64_t LargestLog = 16 * 1024 * 1024;

const char* const LogExtensions[] = {".LOG", ".TXT", ".EML"};

// A file read as a log, or why it is none (after its name).
struct FileReading {
  std::optional<LogReading> reading;
  std::string problem;
};

std::optional<std::uint64_t> FileSize(const std::string& path) {
  const UniqueFile file(Api().CreateFile(path, FileCreation::OpenExistingRead));
  std::uint64_t size = 0;
  if (!file || !Api().GetFileSize(file.get(), size)) return std::nullopt;
  return size;
}

bool HasExtension(const std::string& name, const char* extension) {
  const std::string end = extension;
  return name.size() > end.size() && AsciiUpperCase(name.substr(name.size() - end.size())) == end;
}

bool IsFolder(const std::string& path) {
  const std::uint32_t attributes = Api().GetFileAttributes(path);
  return attributes != InvalidFileAttributes && (attributes & FileAttributeDirectory);
}

std::string Joined(const std::string& folder, const std::string& name) {
  const bool ended =
      !folder.empty() && (folder.back() == '\\' || folder.back() == '/' || folder.back() == ':');
  return ended ? folder + name : folder + '\\' + name;
}

// The logs below `folder`, folder by folder in the order of their names; a
// directory link is not followed, so that none leads round in a circle.
void CollectLogFiles(const std::string& folder, std::vector<std::string>& files) {
  std::vector<FindData> entries;
  FindData entry;
  const UniqueSearch search(Api().FindFirstFile(Joined(folder, "*.*"), entry));
  if (!search) return;
  do {
    if (entry.name != "." && entry.name != "..") entries.push_back(entry);
  } while (Api().FindNextFile(search.get(), entry));
  std::sort(entries.begin(), entries.end(), [](const FindData& a, const FindData& b) {
    return AsciiUpperCase(a.name) < AsciiUpperCase(b.name);
  });
  for (const FindData& found : entries) {
    const std::string path = Joined(folder, found.name);
    if (found.attributes & FileAttributeDirectory) {
      if (!(found.attributes & FileAttributeReparsePoint)) CollectLogFiles(path, files);
    } else if (std::any_of(std::begin(LogExtensions), std::end(LogExtensions),
                           [&](const char* e) { return HasExtension(found.name, e); })) {
      files.push_back(path);
    }
  }
}

FileReading ReadLogText(std::string bytes) {
  LogText text = DecodeLogText(std::move(bytes));
  if (text.problem == LogTextProblem::Empty) return {std::nullopt, "is empty"};
  if (text.problem == LogTextProblem::Binary) {
    return {std::nullopt, "is not a launcher log: it holds binary data"};
  }
  LogReading reading = ReadLauncherLog(std::move(text));
  if (!reading.launcherLog) {
    return {std::nullopt, "is not a launcher log: none of its lines is one the launcher writes"};
  }
  return {std::move(reading), ""};
}

// The first part of the mail that is a log: an attached one, else its text.
FileReading ReadMail(const std::string& message) {
  for (MailPart& part : MailParts(message)) {
    const std::string from =
        part.name.empty() ? "the text of the mail" : "the file " + part.name + " attached to it";
    FileReading read = ReadLogText(std::move(part.bytes));
    if (!read.reading) continue;
    for (LogSection& section : read.reading->sections) {
      if (section.name == "log") section.facts.insert(section.facts.begin(), {"taken_from", from});
    }
    return read;
  }
  return {std::nullopt, "is a mail with no launcher log in its text or attached to it"};
}

FileReading ReadLogFile(const std::string& file) {
  const auto size = FileSize(file);
  if (!size) return {std::nullopt, "cannot be opened for reading"};
  if (*size > LargestLog) {
    return {std::nullopt, "is not a launcher log: it holds " + std::to_string(*size) +
                              " bytes, far more than any log"};
  }
  std::string bytes;
  try {
    bytes = ReadWholeFile(file);
  } catch (const EStreamError& e) {
    return {std::nullopt, "cannot be read: " + e.Message()};
  }
  return HasExtension(file, ".EML") ? ReadMail(bytes) : ReadLogText(std::move(bytes));
}

LogStatus CheckOneLog(const std::string& file, bool json, std::ostream& out, std::ostream& error) {
  if (!FileExists(file)) {
    error << "tarvo-check: there is no file " << file << '\n';
    return LogStatus::NoLog;
  }
  const FileReading read = ReadLogFile(file);
  if (!read.reading) {
    error << "tarvo-check: " << file << ' ' << read.problem << '\n';
    return LogStatus::NoLog;
  }
  if (json) {
    WriteLogReadingJson(*read.reading, file, out);
    out << '\n';
  } else {
    WriteLogReadingText(*read.reading, file, out);
  }
  return read.reading->findings.empty() ? LogStatus::Clean : LogStatus::Findings;
}

void AddFile(LogMailbox& mailbox, const std::string& file) {
  const FileReading read = ReadLogFile(file);
  if (read.reading) {
    mailbox.AddLog(file, *read.reading);
  } else {
    mailbox.AddNoLog(file, read.problem);
  }
}

}  // namespace

LogStatus CheckLogs(const std::vector<std::string>& paths, bool json, std::ostream& out,
                    std::ostream& error) {
  if (paths.size() == 1 && !IsFolder(paths[0])) return CheckOneLog(paths[0], json, out, error);
  LogMailbox mailbox(json, out);
  for (const std::string& path : paths) {
    if (IsFolder(path)) {
      std::vector<std::string> files;
      CollectLogFiles(path, files);
      if (files.empty()) mailbox.AddNoLog(path, "is a folder without .log, .txt or .eml files");
      for (const std::string& file : files) AddFile(mailbox, file);
    } else if (FileExists(path)) {
      AddFile(mailbox, path);
    } else {
      mailbox.AddNoLog(path, "there is no such file or folder");
    }
  }
  mailbox.WriteSummary();
  if (!mailbox.AnyLog()) {
    error << "tarvo-check: none of the paths holds a launcher log\n";
    return LogStatus::NoLog;
  }
  return mailbox.AnyFinding() ? LogStatus::Findings : LogStatus::Clean;
}

}  // namespace tarvo
