#include "check/identify.h"

#include "app/main_sequence.h"
#include "browser/browser_identification.h"
#include "browser/catalogue_file.h"
#include "browser/window_size.h"

namespace tarvo {

Identification IdentifyBrowser(const std::string& path, const std::optional<std::string>& version) {
  Identification result;
  result.version = version ? *version : BrowserVersion(path);
  const CatalogueReader catalogue(GetBrowserIniFileName());
  ForEachMatchingEntry(catalogue, path, result.version, [&](int entry) { result.entry = entry; });
  result.code = result.entry != 0 ? EntryCode(catalogue, result.entry) : "ONB";
  if (result.entry != 0) {
    result.name =
        catalogue.ReadString(RecognitionSection, "EExtern" + std::to_string(result.entry), "");
  }
  result.sized = !IsUnknownOrUnsupported(result.code);
  if (result.sized) result.measured = GetBrowserSize(result.code, result.height, result.width);
  return result;
}

}  // namespace tarvo
