#include "browser/browser_identification.h"

#include "browser/catalogue_file.h"
#include "browser/version_info.h"
#include "log/log_file.h"
#include "platform/ascii_case.h"

namespace tarvo {

std::string GetBrowserName(const std::string& fileName) {
  const std::string path = AsciiUpperCase(fileName);
  LogLine("xxx GBN: FileName = " + path);
  const std::string version = BrowserVersion(path);
  LogLine("xxx GBN: Versie = " + version);
  const std::string iniFile = GetBrowserIniFileName();
  const CatalogueReader catalogue(iniFile);
  LogLine("xxx GBN: BrowserIniFile = " + iniFile);

  std::string code = "ONB";
  ForEachMatchingEntry(catalogue, path, version, [&](int entry) {
    code = EntryCode(catalogue, entry);
    const std::string number = std::to_string(entry);
    LogLine("xxx GBN: BrowserCount = " + number);
    LogLine("xxx GBN: (EExtern = " +
            catalogue.ReadString(RecognitionSection, "EExtern" + number, "") + ")");
  });
  LogLine("xxx GBN: Browser = " + code);
  return code;
}

std::string BrowserVersion(const std::string& fileName) {
  return AsciiUpperCase(GetFileInfo(fileName, "ProductVersion"));
}

void ForEachMatchingEntry(const CatalogueReader& catalogue, const std::string& path,
                          const std::string& version, const std::function<void(int)>& visit) {
  const std::string upperPath = AsciiUpperCase(path);
  const std::string upperVersion = AsciiUpperCase(version);
  ForEachRecognitionEntry(catalogue, [&](int entry, const std::string& exeName) {
    const std::string entryVersion = AsciiUpperCase(
        catalogue.ReadString(RecognitionSection, "EVersie" + std::to_string(entry), ""));
    const bool versionMatches = upperVersion.compare(0, entryVersion.size(), entryVersion) == 0;
    if (versionMatches && upperPath.find(AsciiUpperCase(exeName)) != std::string::npos) {
      visit(entry);
    }
  });
}

std::string EntryCode(const CatalogueReader& catalogue, int entry) {
  return AsciiUpperCase(
             catalogue.ReadString(RecognitionSection, "EIntern" + std::to_string(entry), ""))
      .substr(0, 3);
}

}  // namespace tarvo
