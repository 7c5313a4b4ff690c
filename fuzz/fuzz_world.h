// What every fuzz target over the launcher's routines needs: a fresh
// in-memory Windows installed as the backend, a log, and the disc in D:.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "browser/catalogue_file.h"
#include "log/debuggen.h"
#include "log/log_file.h"
#include "support/windows_model.h"

namespace tarvo {

class FuzzWorld {
 public:
  FuzzWorld() {
    InstallApi(windows);
    LogFile = TLogFile::Create();
    StartDir = "D:\\";
    BrowserIniFile.clear();
  }
  ~FuzzWorld() { LogFile.reset(); }
  FuzzWorld(const FuzzWorld&) = delete;
  FuzzWorld& operator=(const FuzzWorld&) = delete;

  WindowsModel windows;
};

inline std::string Text(const std::uint8_t* data, std::size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

}  // namespace tarvo
