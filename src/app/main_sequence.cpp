#include "app/main_sequence.h"

#include "app/browser_launch.h"
#include "app/launcher_version.h"
#include "app/start_page.h"
#include "browser/browser_identification.h"
#include "browser/default_browser.h"
#include "browser/window_size.h"
#include "log/debuggen.h"
#include "log/log_file.h"
#include "platform/disc_files.h"
#include "platform/int32_arithmetic.h"
#include "platform/message_box.h"
#include "platform/run_control.h"
#include "registration/best_browser.h"
#include "registration/built_in_checks.h"
#include "registration/lmr_ext.h"

namespace tarvo {

std::string BrowserPad;
std::string BrowserCode;
std::string OpenHTMLdoc;
std::int32_t DesktopHeight = 0;
std::int32_t DesktopWidth = 0;
std::int32_t BrowserHeight = 0;
std::int32_t BrowserWidth = 0;

namespace {

// The window needs this much room to spare in each direction.
constexpr std::int32_t Margin = 10;

std::string IdentifiedCode(const std::string& browser) {
  return GetBrowserName(browser).substr(0, 3);
}

void LookForBetterBrowser() {
  LogLine("Melding: (onbekende of niet ondersteunde browser)");
  ShowMessage(
      "De door u gebruikte browser is ons onbekend of wordt niet door ons ondersteund. We gaan "
      "nu de C-drive doorzoeken op een betere browser...");
  BrowserPad = GetBestBrowser();
  if (BrowserPad.empty()) {
    LogFile->AddLine("Melding: (helaas geen betere browser gevonden)", true);
    ShowMessage(
        "Helaas, onze zoektocht leverde geen betere browser op! U krijgt zo dadelijk een "
        "melding wat u moet doen...");
    return;
  }
  LogLine("Melding: (betere browser gevonden)");
  ShowMessage(
      "We hebben een betere browser gevonden! Lees de help hoe u voortaan deze melding kunt "
      "voorkomen...");
  BrowserCode = IdentifiedCode(BrowserPad);
}

bool BrowserFitsOnDesktop() {
  if (GetDesktopSize(DesktopHeight, DesktopWidth)) {
    LogLine("400: (bureaublad is " + std::to_string(DesktopWidth) + " bij " +
            std::to_string(DesktopHeight) + " pixels)");
  }
  if (GetBrowserSize(BrowserCode, BrowserHeight, BrowserWidth)) {
    LogLine("401: (browser wordt " + std::to_string(BrowserWidth) + " bij " +
            std::to_string(BrowserHeight) + " pixels)");
  }
  return WrappingSubtract(DesktopWidth, BrowserWidth) >= Margin &&
         WrappingSubtract(DesktopHeight, BrowserHeight) >= Margin;
}

// The run files for Windows, and for the browser in use what it needs.
void RegisterForTheBrowser() {
  RegisterRunFileType(StartDir);
  if (BrowserCode == "NN3") RegisterNetscape3(StartDir);
  if (BrowserCode == "NN4") RegisterNetscape4(StartDir);
  if (BrowserCode.find("IE") != std::string::npos) SetRunFileEditFlags();
}

void ChooseDocument() {
  if (IsUnknownOrUnsupported(BrowserCode)) {
    OpenHTMLdoc = StartDir + OldBrowserPageFile;
  } else if (!BrowserFitsOnDesktop()) {
    OpenHTMLdoc = StartDir + SmallScreenPageFile;
  } else {
    OpenHTMLdoc = StartDir;
    CreateStartPage(OpenHTMLdoc, DesktopHeight, DesktopWidth, BrowserHeight, BrowserWidth);
  }
}

}  // namespace

bool IsUnknownOrUnsupported(const std::string& code) { return code == "NA" || code == "ONB"; }

void RunMainSequence() {
  LogLine("100: StartDir = " + StartDir);
  LogLine(std::string("101: Debug = ") + (Debug ? "TRUE" : "FALSE"));
  CheckLauncherVersion();
  LogLine("104: (volumelabel = " + GetVolumeLabel() + ")");
  if (ExtraChecks) {
    LogLine("");
    RunBuiltInChecks();
  }
  LogLine("");
  BrowserPad = GetDefaultBrowser(StartDir + MainPageFile);
  BrowserCode = IdentifiedCode(BrowserPad);
  if (IsUnknownOrUnsupported(BrowserCode)) LookForBetterBrowser();
  LogLine("");
  LogLine("300: (aanmaken sleutels in registry)");
  RegisterForTheBrowser();
  LogLine("");
  ChooseDocument();
  LogLine("407: BrowserPad = " + BrowserPad);
  LogLine("408: OpenHTMLdoc = " + OpenHTMLdoc);
  LaunchBrowser();
  StopProgram();
}

}  // namespace tarvo
