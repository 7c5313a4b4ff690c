#include "browser/default_browser.h"

#include "log/log_file.h"
#include "log/support_address.h"
#include "platform/file_helpers.h"
#include "platform/message_box.h"
#include "platform/run_control.h"
#include "platform/win32_api.h"

namespace tarvo {

namespace {

constexpr std::intptr_t FileNotFound = 2;

[[noreturn]] void StopForMissingMainPage() {
  LogFile->AddLine("Melding: (ongeldige directory via commandline)", false);
  ShowMessage("De startdirectory die u via de commandline heeft opgegeven bestaat niet!");
  StopProgram();
}

[[noreturn]] void StopForMissingBrowser() {
  LogFile->AddLine("Melding: (geen browser geïnstalleerd)", false);
  ShowMessage(std::string("U heeft geen browser geïnstalleerd. Voor onze interface is een "
                          "browser noodzakelijk! De meest recente versies van ondersteunde "
                          "browsers vindt u op de cd-rom. Stuur een e-mail naar ") +
              SupportAddress + " als u vermoed dat deze melding niet terecht is...");
  StopProgram();
}

}  // namespace

std::string GetDefaultBrowser(const std::string& htmlFileName) {
  LogFile->AddLine("200: HTMLFileName = " + htmlFileName, false);
  std::string browser;
  std::string found;
  const std::intptr_t code = Api().FindExecutable(htmlFileName, "C:\\", found);
  LogFile->AddLine("201: (FindExecutable = " + std::to_string(code) + ")", false);
  if (code > 32) {
    browser = found;
    LogFile->AddLine("202: BrowserStr = " + browser, false);
    if (!FileExists(browser)) {
      browser.clear();
      LogFile->AddLine("203: Executable niet gevonden!", false);
    }
  }
  if (code == FileNotFound) StopForMissingMainPage();
  if (browser.empty()) StopForMissingBrowser();
  return browser;
}

}  // namespace tarvo
