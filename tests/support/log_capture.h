// A fresh LogFile for a test of routines that log, released afterwards.
#pragma once

#include <string>
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

}  // namespace tarvo
