// LogFComp: the diagnostic log. Lines are collected in memory during the run
// and written to disk in one go when the log is freed, and only when it is
// kept: in debug or check mode, or once a line was marked as a problem.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/exceptions.h"

namespace tarvo {

class ELogFile : public Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const override { return "ELogFile"; }
};

// Optional live displays of the log: a label shows the latest line, a memo
// collects them all. The product sets neither; a window could.
class LabelSink {
 public:
  virtual ~LabelSink() = default;
  virtual void SetText(const std::string& text) = 0;
};

class MemoSink {
 public:
  virtual ~MemoSink() = default;
  virtual void AppendLine(const std::string& line) = 0;
};

class TLogFile {
 public:
  // Raises ELogFile "TLogFile: create error" when the log cannot be made.
  static std::unique_ptr<TLogFile> Create();

  const std::string& FileName() const { return fileName_; }
  // Stored in upper case; an empty name is ignored.
  void SetFileName(const std::string& name);
  // True means the log is discarded when freed.
  bool Delete() const { return delete_; }
  const std::vector<std::string>& Lines() const { return lines_; }
  void SetDelete(bool discard) { delete_ = discard; }
  // Not owned; may be null.
  void SetMessageLabel(LabelSink* label) { messageLabel_ = label; }
  void SetMessageMemo(MemoSink* memo) { messageMemo_ = memo; }

  // Appends a line (empty text: an empty line). A problem line makes the log
  // be kept; later lines never undo that. Raises ELogFile
  // "TLogFile: write error", and the line is then lost.
  void AddLine(const std::string& text, bool problem);

  // What freeing the log does before release: when kept, the file is created
  // anew with every line ended by CR LF. Raises ELogFile "TLogFile: save error".
  void SaveIfKept() const;

 private:
  TLogFile();

  std::string fileName_;
  bool delete_ = true;
  std::vector<std::string> lines_;
  LabelSink* messageLabel_ = nullptr;
  MemoSink* messageMemo_ = nullptr;
};

// The run's one log; empty until debug mode's start step creates it.
extern std::unique_ptr<TLogFile> LogFile;

// Saves LogFile when kept and releases it; LogFile is empty afterwards even
// when saving raised.
void FreeLogFile();

// Appends a line that is no problem to LogFile, as most lines are.
void LogLine(const std::string& text);

// The line a routine's own handler writes for an error it caught:
// "Exception: " followed by the error's message.
void LogException(const std::exception& error, bool problem);

}  // namespace tarvo
