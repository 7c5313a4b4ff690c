// A fresh LogFile for a test of routines that log, released afterwards; and
// a display that makes logging fail.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "log/log_file.h"

namespace tarvo {

class LogCapture {
 public:
  LogCapture() { LogFile = TLogFile::Create(); }
  ~LogCapture() { LogFile.reset(); }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  const std::vector<std::string>& Lines() const { return LogFile->Lines(); }
  // Whether a problem line made the log be kept.
  bool Problem() const { return !LogFile->Delete(); }
};

// A log display that breaks at one line, so that AddLine raises its write
// error there: an unexpected error in the middle of a routine.
class FailingMemo : public MemoSink {
 public:
  explicit FailingMemo(std::string line) : line_(std::move(line)) {}
  void AppendLine(const std::string& line) override {
    if (line == line_) throw std::runtime_error("display broken");
  }

 private:
  std::string line_;
};

}  // namespace tarvo
