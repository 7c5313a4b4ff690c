// A fixture for the routines of browser detection: the model installed, a
// fresh log whose lines the test can read, StartDir D:\ and no catalogue
// copy chosen yet.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "browser/catalogue_file.h"
#include "log/debuggen.h"
#include "log/log_file.h"
#include "support/model_test.h"

namespace tarvo {

// An English version resource whose "ProductVersion" is `version`.
inline VersionResource ProductVersion(const std::string& version) {
  return SingleLanguageVersion(0x0409, 0x04B0, {{"ProductVersion", version}});
}

// A browser program at `path` with that product version.
inline void AddBrowser(WindowsModel& windows, const std::string& path, const std::string& version) {
  windows.AddFile(path, "MZ");
  windows.SetVersionResource(path, ProductVersion(version));
}

struct CatalogueEntry {
  const char* exeName;  // empty: the entry's keys are left out
  const char* version;
  const char* code;
  const char* name;
};

// A catalogue of "Versie" 1 with these recognition entries, numbered from 1,
// and the further sections in `more`.
inline std::string Catalogue(const std::vector<CatalogueEntry>& entries,
                             const std::string& more = "") {
  std::string text = "[Informatie]\r\nVersie=1\r\n[Browserherkenning]\r\n";
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string n = std::to_string(i + 1);
    if (*entries[i].exeName == '\0') continue;
    text += "EXEnaam" + n + "=" + entries[i].exeName + "\r\nEVersie" + n + "=" +
            entries[i].version + "\r\nEIntern" + n + "=" + entries[i].code + "\r\nEExtern" + n +
            "=" + entries[i].name + "\r\n";
  }
  return text + more;
}

class LineRecorder : public MemoSink {
 public:
  void AppendLine(const std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

class DetectionTest : public ModelTest {
 protected:
  static constexpr const char* CdCatalogue = "D:\\intface\\browsers.ini";
  static constexpr const char* WindowsCatalogue = "C:\\WINDOWS\\BROWSERS.INI";

  DetectionTest() {
    LogFile = TLogFile::Create();
    LogFile->SetMessageMemo(&recorder_);
    StartDir = "D:\\";
    BrowserIniFile.clear();
  }
  ~DetectionTest() override {
    LogFile.reset();
    BrowserIniFile.clear();
  }

  // The lines logged so far; taking them starts a new count.
  std::vector<std::string> TakeLines() { return std::exchange(recorder_.lines, {}); }
  bool LoggedAProblem() const { return !LogFile->Delete(); }

 private:
  LineRecorder recorder_;
};

}  // namespace tarvo
