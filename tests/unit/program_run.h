// Whole runs of the launcher against the in-memory Windows: a disc in D:
// whose catalogue knows the browser HTML files open in, and what a run left.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/tarvo32.h"
#include "detection_test.h"
#include "support/model_test.h"

namespace tarvo {

inline constexpr const char* Browser = "C:\\Browser\\browser.exe";
// The browser's window on the model's screen with this catalogue: it fits
// with 14 pixels to spare in height.
inline constexpr const char* CatalogueSizes = "[IE5]\r\nExtraH=60\r\nExtraW=20\r\n";

inline VersionResource LauncherResource(const std::string& version) {
  return SingleLanguageVersion(0x0413, 0x04E4, {{"FileVersion", version}});
}

class ProgramRun : public ModelTest {
 protected:
  // A disc in D: (label LUMORA) with its main page, the start page's
  // template, its own launcher at 1.52.0.0 and a catalogue that knows the
  // browser HTML files open in (and does not support its versions 0.x).
  ProgramRun() {
    windows.AddFile("D:\\intface\\hoofd.htm", "<html></html>");
    windows.AddFile("D:\\intface\\template.htm", "<!--TEMPLATE-->");
    windows.AddFile("D:\\TARVO32.EXE", "MZ");
    windows.SetVersionResource("D:\\TARVO32.EXE", LauncherResource("1.52.0.0"));
    windows.SetVolumeLabel("D:", "LUMORA");
    windows.AddFile(
        "D:\\intface\\browsers.ini",
        Catalogue({{"BROWSER", "5", "IE5", "Browser 5"},
                   {"NETSCAPE", "", "NN4", "Navigator"},
                   {"BROWSER", "0", "NA", "Browser 0"}},
                  std::string(CatalogueSizes) + "[Browservolgorde]\r\nVoorkeur=NN4 IE5\r\n"));
    AddBrowser(windows, Browser, "5.0");
    windows.AssociateExtension(".htm", std::string("\"") + Browser + "\" \"%1\"");
  }

  // The log's lines after line 202, less the detail lines of routines.
  std::vector<std::string> LinesAfterLookup() const {
    std::vector<std::string> lines;
    const std::string log = Log().value_or("");
    for (auto start = log.find("\r\n", log.find("202: ")) + 2; start < log.size();) {
      const auto end = log.find("\r\n", start);
      const std::string line = log.substr(start, end - start);
      if (line.rfind("xxx ", 0) != 0) lines.push_back(line);
      start = end + 2;
    }
    return lines;
  }

  int Run(const std::string& arguments) {
    windows.SetCommandLine("D:\\TARVO32.EXE " + arguments);
    const int exitCode = RunTarvo32();
    EXPECT_EQ(windows.OpenHandleCount(), 0u);
    return exitCode;
  }

  // The texts of the boxes shown, from the box numbered `first` on.
  std::vector<std::string> BoxTexts(std::size_t first = 0) const {
    std::vector<std::string> texts;
    for (std::size_t i = first; i < windows.Boxes().size(); ++i) {
      texts.push_back(windows.Boxes()[i].text);
    }
    return texts;
  }

  std::optional<std::string> Log() const { return windows.FileContent("C:\\LMRSTART.LOG"); }
};

}  // namespace tarvo
