#include "browser/browser_identification.h"

#include "browser/catalogue_file.h"
#include "browser/version_info.h"
#include "log/log_file.h"
#include "platform/ascii_case.h"

namespace tarvo {

std::string GetBrowserName(const std::string& fileName) {
  const std::string path = AsciiUpperCase(fileName);
  LogLine("xxx GBN: FileName = " + path);
  const std::string version = AsciiUpperCase(GetFileInfo(path, "ProductVersion"));
  LogLine("xxx GBN: Versie = " + version);
  const std::string iniFile = GetBrowserIniFileName();
  const CatalogueReader catalogue(iniFile);
  LogLine("xxx GBN: BrowserIniFile = " + iniFile);

  std::string code = "ONB";
  ForEachRecognitionEntry(catalogue, [&](int entry, const std::string& exeName) {
    const std::string number = std::to_string(entry);
    const std::string entryVersion =
        AsciiUpperCase(catalogue.ReadString(RecognitionSection, "EVersie" + number, ""));
    const bool versionMatches = version.compare(0, entryVersion.size(), entryVersion) == 0;
    if (!versionMatches || path.find(AsciiUpperCase(exeName)) == std::string::npos) return;
    code = AsciiUpperCase(catalogue.ReadString(RecognitionSection, "EIntern" + number, ""))
               .substr(0, 3);
    LogLine("xxx GBN: BrowserCount = " + number);
    LogLine("xxx GBN: (EExtern = " +
            catalogue.ReadString(RecognitionSection, "EExtern" + number, "") + ")");
  });
  LogLine("xxx GBN: Browser = " + code);
  return code;
}

}  // namespace tarvo
