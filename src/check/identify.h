// tarvo-check identify: the browser code and window size the launcher
// would give a browser, from the master's catalogue.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tarvo {

struct Identification {
  std::string version;  // the product version the browser is recognised by
  int entry = 0;        // the deciding recognition entry; 0 when none matches
  std::string name;     // that entry's "EExtern"
  std::string code;     // "ONB" when no entry matches
  // The window, for a code the launcher sizes (neither "ONB" nor "NA").
  bool sized = false;
  bool measured = false;  // the caption and borders were known
  std::int32_t height = 0;
  std::int32_t width = 0;
};

// The browser at `path` with the product version `version`, or the one its
// version resource gives, against the catalogue GetBrowserIniFileName gives.
Identification IdentifyBrowser(const std::string& path, const std::optional<std::string>& version);

}  // namespace tarvo
