#include "app/main_sequence.h"

#include "app/browser_launch.h"
#include "app/modules.h"
#include "browser/default_browser.h"
#include "log/debuggen.h"
#include "log/log_file.h"

namespace tarvo {

std::string BrowserPad;
std::string BrowserCode;
std::string OpenHTMLdoc;

namespace {
void Log(const std::string& text) { LogFile->AddLine(text, false); }
}  // namespace

void RunMainSequence() {
  const std::string mainPage = StartDir + "intface\\hoofd.htm";
  Log("100: StartDir = " + StartDir);
  Log(std::string("101: Debug = ") + (Debug ? "TRUE" : "FALSE"));
  Log("");
  BrowserPad = GetDefaultBrowser(mainPage);
  OpenHTMLdoc = mainPage;
  Log("407: BrowserPad = " + BrowserPad);
  Log("408: OpenHTMLdoc = " + OpenHTMLdoc);
  LaunchBrowser();
  StopProgram();
}

}  // namespace tarvo
