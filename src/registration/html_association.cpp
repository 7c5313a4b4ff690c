#include "registration/html_association.h"

#include "log/log_file.h"
#include "platform/registry.h"
#include "registration/best_browser.h"

namespace tarvo {

namespace {

// The type's description, then its open command one level below. Where the
// command key cannot be opened, the command is not written at all: it would
// otherwise replace the description.
void RegisterHtmlFileType(RegistryAccessor& registry, const std::string& browser) {
  if (!registry.OpenKey("Lumora.htmlfile")) {
    LogLine("xxx RHTM: (aanmaken \"Lumora.htmlfile\" sleutel mislukt)");
  }
  registry.WriteString("", "HTML Document");
  if (!registry.OpenKey("Shell\\Open\\Command")) {
    return LogLine(
        "xxx RHTM: (aanmaken \"Lumora.htmlfile\\Shell\\Open\\Command\" sleutel mislukt)");
  }
  registry.WriteString("", "\"" + browser + "\" \"%1\"");
}

}  // namespace

void RegistreerHTM() {
  const std::string browser = GetBestBrowser();
  if (browser.empty()) return;
  RegistryAccessor registry(HkeyClassesRoot);
  try {
    LogLine("xxx RHTM: (registreren " + browser + ")");
    if (!registry.OpenKey(".htm")) LogLine("xxx RHTM: (aanmaken \".htm\" sleutel mislukt)");
    registry.WriteString("", "Lumora.htmlfile");
    registry.WriteString("Content Type", "text/html");
    registry.CloseKey();
    RegisterHtmlFileType(registry, browser);
    registry.CloseKey();
    LogLine("xxx RHTM: (registreren browser uitgevoerd)");
  } catch (const std::exception& e) {
    LogException(e, false);
  }
}

}  // namespace tarvo
