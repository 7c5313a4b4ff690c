#include "app/browser_launch.h"

#include "app/main_sequence.h"
#include "log/log_file.h"
#include "platform/message_box.h"
#include "platform/win32_api.h"

namespace tarvo {

namespace {

std::string QuotedIfBlank(const std::string& part) {
  if (part.find(' ') == std::string::npos) return part;
  // Before a quote, each pair of backslashes reads as one and an odd one
  // escapes the quote (CommandLineToArgvW, the C runtime): every final
  // backslash is doubled.
  const auto last = part.find_last_not_of('\\');
  const std::size_t finalBackslashes = part.size() - (last == std::string::npos ? 0 : last + 1);
  return '"' + part + std::string(finalBackslashes, '\\') + '"';
}

bool StartBrowserProcess() {
  // Without a browser the command line would name the document as program.
  if (BrowserPad.empty()) return false;
  const StartupInfo startup{StartfUseShowWindow, SwShowNormal};
  return Api().CreateProcess(BrowserCommandLine(BrowserPad, OpenHTMLdoc), NormalPriorityClass,
                             startup);
}

}  // namespace

std::string BrowserCommandLine(const std::string& browser, const std::string& document) {
  return QuotedIfBlank(browser) + " " + QuotedIfBlank(document);
}

void LaunchBrowser() {
  if (StartBrowserProcess()) return;
  LogFile->AddLine("Melding: (cd-rom kan niet gestart worden)", true);
  ShowMessage(
      "De cd-rom kon helaas niet gestart worden. Open intface\\eenvoud\\overzich.htm "
      "in uw browser of volg de aanwijzing die zo dadelijk volgt...");
}

}  // namespace tarvo
