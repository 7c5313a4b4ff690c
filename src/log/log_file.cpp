#include "log/log_file.h"

#include "platform/ascii_case.h"
#include "platform/file_helpers.h"
#include "platform/text_lines.h"

namespace tarvo {

std::unique_ptr<TLogFile> LogFile;

TLogFile::TLogFile() { SetFileName("C:\\ZOLTTEST.LOG"); }

std::unique_ptr<TLogFile> TLogFile::Create() {
  try {
    return std::unique_ptr<TLogFile>(new TLogFile());
  } catch (const std::exception&) {
    throw ELogFile("TLogFile: create error");
  }
}

void TLogFile::SetFileName(const std::string& name) {
  if (!name.empty()) fileName_ = AsciiUpperCase(name);
}

void TLogFile::AddLine(const std::string& text, bool problem) {
  try {
    if (messageLabel_) messageLabel_->SetText(text);
    if (messageMemo_) messageMemo_->AppendLine(text);
    lines_.push_back(text);
    if (delete_) delete_ = !problem;
  } catch (const std::exception&) {
    throw ELogFile("TLogFile: write error");
  }
}

void TLogFile::SaveIfKept() const {
  if (delete_) return;
  try {
    WriteWholeFile(fileName_, CrLfText(lines_));
  } catch (const std::exception&) {
    throw ELogFile("TLogFile: save error");
  }
}

void LogLine(const std::string& text) { LogFile->AddLine(text, false); }

void LogException(const std::exception& error, bool problem) {
  LogFile->AddLine(std::string("Exception: ") + error.what(), problem);
}

void FreeLogFile() {
  const std::unique_ptr<TLogFile> log = std::move(LogFile);
  if (log) log->SaveIfKept();
}

}  // namespace tarvo
