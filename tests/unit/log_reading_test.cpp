// tarvo-check log on logs the launcher's own code wrote in whole runs
// against the model, one path of the run per row, read back to that path
// finding by finding; every line form the launcher writes; the same logs as
// mail and editors damage them, diagnoses and repairs edited line by line,
// and files that are no log at all.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <sstream>

#include "check/check_command.h"
#include "helpdesk/log_normalising.h"
#include "helpdesk/log_reading.h"
#include "helpdesk/mail_message.h"
#include "platform/exceptions.h"
#include "platform/hex_digits.h"
#include "platform/text_lines.h"
#include "platform/windows1252.h"
#include "program_run.h"
#include "support/lines_as_read.h"

namespace tarvo {
namespace {

using Facts = std::vector<std::pair<std::string, std::string>>;

// Each fact as "part.key"; the values of a repeated key joined by " | ".
std::map<std::string, std::string> FactsOf(const LogReading& reading) {
  std::map<std::string, std::string> facts;
  for (const LogSection& section : reading.sections) {
    for (const LogFact& fact : section.facts) {
      std::string& value = facts[section.name + "." + fact.key];
      value += (value.empty() ? "" : " | ") + fact.value;
    }
  }
  return facts;
}

std::vector<std::string> CodesOf(const LogReading& reading) {
  std::vector<std::string> codes;
  for (const LogFinding& finding : reading.findings) codes.push_back(finding.code);
  return codes;
}

// Each line of `text` as the reader reads it.
std::map<int, std::string> LinesAsRead(const std::string& text) {
  return LinesAsRead(NormaliseLogLines(DecodeLogText(text).text));
}

// What every reading must hold to: the facts asked for, the codes in order,
// and each finding resting on lines that stand in `text` under their numbers,
// with its meaning and advice, both written to the reader.
void ExpectReading(const LogReading& reading, const std::string& text,
                   const std::vector<std::string>& codes, const Facts& facts) {
  EXPECT_EQ(DecodeLogText(text).problem, LogTextProblem::None);
  EXPECT_TRUE(reading.launcherLog);
  EXPECT_EQ(CodesOf(reading), codes);
  const auto found = FactsOf(reading);
  for (const auto& [key, value] : facts) {
    const auto fact = found.find(key);
    EXPECT_EQ(fact == found.end() ? "(absent)" : fact->second, value) << key;
  }
  const std::map<int, std::string> lines = LinesAsRead(text);
  for (const LogFinding& finding : reading.findings) {
    ASSERT_FALSE(finding.lines.empty()) << finding.code;
    for (const NumberedLine& line : finding.lines) {
      const auto read = lines.find(line.number);
      ASSERT_NE(read, lines.end()) << finding.code << ", line " << line.number;
      EXPECT_EQ(line.text, read->second) << finding.code;
    }
    EXPECT_FALSE(finding.meaning.empty()) << finding.code;
    EXPECT_FALSE(finding.advice.empty()) << finding.code;
    for (const char* helpdesksOwn : {"de lezer", "tarvo-check"}) {
      EXPECT_EQ(finding.meaning.find(helpdesksOwn), std::string::npos) << finding.code;
      EXPECT_EQ(finding.advice.find(helpdesksOwn), std::string::npos) << finding.code;
    }
  }
}

// A finding as the reader must tell it: its code, the lines it names (each
// by how it begins), and a phrase of its meaning and one of its advice.
struct Shape {
  std::string code;
  std::vector<std::string> lines;
  std::string meaning;
  std::string advice;
};

std::vector<std::string> CodesOf(const std::vector<Shape>& shapes) {
  std::vector<std::string> codes;
  for (const Shape& shape : shapes) codes.push_back(shape.code);
  return codes;
}

void ExpectShapes(const LogReading& reading, const std::vector<Shape>& shapes) {
  ASSERT_EQ(CodesOf(reading), CodesOf(shapes));
  for (std::size_t i = 0; i < shapes.size(); ++i) {
    const LogFinding& finding = reading.findings[i];
    const Shape& shape = shapes[i];
    SCOPED_TRACE(shape.code);
    std::vector<std::string> lines;
    for (std::size_t j = 0; j < finding.lines.size(); ++j) {
      const std::string& text = finding.lines[j].text;
      const bool expected = j < shape.lines.size() && text.rfind(shape.lines[j], 0) == 0;
      lines.push_back(expected ? shape.lines[j] : text);
    }
    EXPECT_EQ(lines, shape.lines);
    EXPECT_NE(finding.meaning.find(shape.meaning), std::string::npos) << finding.meaning;
    EXPECT_NE(finding.advice.find(shape.advice), std::string::npos) << finding.advice;
  }
}

struct RunPath {
  const char* name;
  const char* arguments;
  std::function<void(WindowsModel&)> arrange;
  std::vector<Shape> findings;  // in the order of the run
  Facts facts;                  // some of the run as the reading tells it
};

const char* const Navigator = "C:\\Netscape\\netscape.exe";

void AddUnknownBrowserAndNavigator(WindowsModel& w) {
  AddBrowser(w, Browser, "1.0");
  AddBrowser(w, Navigator, "4.7");
}

const Shape UnknownBrowserFoundABetterOne{
    "browser-unknown",
    {"202: BrowserStr", "xxx GBN: Browser = ONB", "Melding: (onbekende", "Melding: (betere"},
    "kent die browser niet (code ONB)",
    "Stel C:\\Netscape\\netscape.exe in als standaardbrowser"};
const Shape NothingToLaunch{
    "launch-failed",
    {"407: BrowserPad =", "408: OpenHTMLdoc = D:\\intface\\eenvoud\\oudebrow.htm",
     "Melding: (cd-rom kan niet gestart worden)"},
    "Er was geen browser om te starten",
    "Installeer een ondersteunde browser"};
const Shape HalfDoneRepair{
    "no-browser-registered",
    {"201: (FindExecutable = 31)", "Melding: (geen browser"},
    "koppelde .htm-bestanden aan het bestandstype Lumora.htmlfile",
    "Start de cd-rom één keer met beheerdersrechten"};

const RunPath RunPaths[] = {
    {"SupportedBrowser", "/DEBUG", [](WindowsModel&) {}, {},
     {{"start.debug", "yes"}, {"start.version_check", "passed"},
      {"start.volume_label", "LUMORA"}, {"start.extra_checks", "no"},
      {"browser.registered_browser", "C:\\Browser\\browser.exe"},
      {"browser.find_executable", "42 (found)"}, {"browser.entry", "1 (Browser 5)"},
      {"browser.code", "IE5"}, {"catalogue.used", "D:\\intface\\browsers.ini"},
      {"catalogue.copy", "the CD's copied to the Windows directory"},
      {"registration.result", "every key written"}, {"window.work_area", "800 x 572"},
      {"window.browser_window", "660 x 558"}, {"window.page", "the start page"},
      {"start_page.file", "C:\\WINDOWS\\TEMP\\lmrstart.htm"}, {"launch.started", "yes"},
      {"log.ending", "complete"}, {"log.outcome", "the browser started"}}},
    {"SearchWithABetterBrowser", "/DEBUG", AddUnknownBrowserAndNavigator,
     {UnknownBrowserFoundABetterOne},
     {{"browser.code", "ONB"}, {"browser.entry", "none matches"},
      {"search.names_looked_for", "2"}, {"search.browsers_found", "2"},
      {"search.candidate", "C:\\BROWSER\\BROWSER.EXE: ONB, score 0 | "
                           "C:\\NETSCAPE\\NETSCAPE.EXE: NN4, score 1"},
      {"search.best", "C:\\Netscape\\netscape.exe (score 1)"},
      {"search.result", "a better browser"}, {"better_browser.code", "NN4"},
      {"launch.browser", "C:\\Netscape\\netscape.exe"}, {"launch.started", "yes"}}},
    {"SearchWithoutABetterBrowser", "",
     [](WindowsModel& w) { w.SetVersionResource(Browser, ProductVersion("1.0")); },
     {{"browser-unknown",
       {"202: BrowserStr", "xxx GBN: Browser = ONB", "Melding: (onbekende",
        "Melding: (helaas geen betere"},
       "maar geen dat hij verkiest",
       "Installeer een ondersteunde browser"},
      NothingToLaunch},
     {{"start.debug", "no"}, {"search.result", "no better browser"},
      {"search.best", "none: no browser it found scores above 0"},
      {"window.page", "the page for old browsers: no supported browser"},
      {"launch.browser", "(none)"}, {"launch.started", "no"},
      {"log.outcome", "the browser could not be started"}}},
    {"UnsupportedBrowser", "",
     [](WindowsModel& w) { w.SetVersionResource(Browser, ProductVersion("0.9")); },
     {{"browser-unsupported",
       {"202: BrowserStr", "xxx GBN: Browser = NA", "Melding: (onbekende",
        "Melding: (helaas geen betere"},
       "kent die als Browser 0, maar de cd-rom ondersteunt hem niet (code NA)",
       "Installeer een ondersteunde browser"},
      NothingToLaunch},
     {{"browser.code", "NA"}, {"browser.entry", "3 (Browser 0)"},
      {"search.result", "no better browser"}}},
    {"NoBrowserForHtmlFiles", "/DEBUG",
     [](WindowsModel& w) { w.SetRegistryText(HkeyClassesRoot, ".htm", "", "Geen.Type"); },
     {{"no-browser-registered",
       {"201: (FindExecutable = 31)", "Melding: (geen browser"},
       "Windows heeft geen programma om HTML-bestanden mee te openen (FindExecutable gaf 31)",
       "Installeer een browser"}},
     {{"browser.find_executable", "31 (no program opens .htm files)"},
      {"log.outcome", "stopped: no browser"}, {"log.ending", "complete"}}},
    {"BrowserDeleted", "/DEBUG",
     [](WindowsModel& w) { w.AssociateExtension(".htm", "C:\\Gone\\gone.exe %1"); },
     {{"browser-file-missing",
       {"202: BrowserStr = C:\\Gone\\gone.exe", "203: Executable niet gevonden!",
        "Melding: (geen browser"},
       "maar dat bestand bestaat niet meer",
       "Installeer de browser opnieuw"}},
     {{"browser.registered_browser", "C:\\Gone\\gone.exe (missing)"}}},
    {"StartDirectoryWithoutTheDisc", "/DEBUG E:\\", [](WindowsModel&) {},
     {{"start-directory-invalid",
       {"200: HTMLFileName = E:\\intface\\hoofd.htm", "201: (FindExecutable = 2)",
        "Melding: (ongeldige directory"},
       "In de startdirectory E:\\ staat geen intface\\hoofd.htm",
       "Start de cd-rom vanaf de cd-rom zelf"}},
     {{"start.start_directory", "E:\\"}, {"start.volume_label", "could not be read"},
      {"log.outcome", "stopped: the start directory holds no disc"}}},
    {"NewerLauncherOnTheDisc", "D:\\ /DEBUG",
     [](WindowsModel& w) {
       w.SetModuleFileName("C:\\Oud\\TARVO32.EXE");
       w.AddFile("C:\\Oud\\TARVO32.EXE", "MZ");
       w.SetVersionResource("C:\\Oud\\TARVO32.EXE", LauncherResource("1.52.0.0"));
       w.SetVersionResource("D:\\TARVO32.EXE", LauncherResource("1.53.0.0"));
     },
     {{"newer-launcher-on-cd",
       {"102: VersieIntern = 1.52.0.0", "103: VersieCD = 1.53.0.0", "Melding: (oude versie"},
       "hij meldde dat u een oude versie gebruikt",
       "kopieer dan TARVO32.EXE van deze cd-rom daaroverheen"}},
     {{"start.launcher", "1.52.0.0 (C:\\Oud\\TARVO32.EXE)"},
      {"start.cd_launcher", "1.53.0.0 (D:\\tarvo32.exe)"},
      {"start.version_check", "the launcher on the CD is newer: the run stopped"},
      {"start.extra_checks", "not known: the log ends before the checks"},
      {"log.outcome", "stopped: the launcher on the CD is newer"}}},
    {"StartPageReadOnly", "",
     [](WindowsModel& w) {
       w.AddFile("C:\\WINDOWS\\TEMP\\lmrstart.htm", "", FileAttributeReadOnly | FileAttributeArchive);
     },
     {{"start-page-read-only",
       {"xxx EL: (Exception EFCreateError", "xxx EL: (C:\\WINDOWS\\TEMP\\lmrstart.htm bestaat al)",
        "xxx EL: FileDatum", "xxx EL: (File attribute = 33)"},
       "bestaat al en is alleen-lezen (bestandskenmerk 33",
       "Verwijder het bestand C:\\WINDOWS\\TEMP\\lmrstart.htm"}},
     {{"start_page.error", "EFCreateError: Cannot create file C:\\WINDOWS\\TEMP\\lmrstart.htm"},
      {"log.outcome", "stopped: the start page could not be made"}}},
    {"TempFolderMissing", "", [](WindowsModel& w) { w.SetTempPath("C:\\Gone"); },
     {{"temp-folder-missing",
       {"xxx EL: (Exception EFCreateError", "xxx EL: (C:\\GONE\\lmrstart.htm bestaat niet)",
        "xxx EL: (C:\\GONE\\ bestaat niet)", "xxx EL: (Drive type is DRIVE_FIXED)",
        "xxx EL: (grootte", "xxx EL: (vrij"},
       "De map voor tijdelijke bestanden C:\\GONE\\ bestaat niet",
       "Maak de map C:\\GONE\\ aan"}},
     {{"start_page.missing_file", "C:\\GONE\\lmrstart.htm"},
      {"start_page.folder", "C:\\GONE\\ does not exist"}}},
    {"TempDiskFull", "",
     [](WindowsModel& w) {
       w.AddDrive('E', DriveFixed, 1000000, 0);
       w.AddFolder("E:\\TEMP");
       w.SetTempPath("E:\\TEMP");
     },
     {{"temp-disk-full",
       {"xxx EL: (Exception EWriteError", "xxx EL: (E:\\TEMP\\lmrstart.htm bestaat al)",
        "xxx EL: FileDatum", "xxx EL: (File attribute = 32)"},
       "brak af (EWriteError: Stream write error): de schijf E: is vol",
       "Maak ruimte vrij op schijf E:"}},
     {{"start_page.error", "EWriteError: Stream write error"}}},
    {"TemplateMissing", "",
     [](WindowsModel& w) { w.DeleteFile("D:\\intface\\template.htm"); },
     {{"template-unreadable",
       {"xxx EL: (Exception EFOpenError", "xxx EL: (D:\\ bestaat niet)", "xxx EL: (D:\\ bestaat)",
        "xxx EL: (Drive type is DRIVE_CDROM)", "xxx EL: (grootte", "xxx EL: (vrij = 0)"},
       "kon het sjabloon van de startpagina (intface\\template.htm) op de cd-rom niet lezen",
       "Maak de cd-rom voorzichtig schoon"}},
     {{"start_page.drive", "DRIVE_CDROM, size 681574400, free 0"},
      {"start_page.folder", "D:\\ exists"}}},
    {"NoTempVariable", "/DEBUG", [](WindowsModel& w) { w.SetTempPath("D:\\"); },
     {{"no-temp-folder",
       {"403: TempDir = D:\\", "Melding: (tempdir bestaat niet)"},
       "de startdirectory van de cd-rom op (D:\\)",
       "Stel de omgevingsvariabelen TEMP en TMP in"}},
     {{"start_page.temp_directory", "D:\\, the start directory itself: C:\\ used"},
      {"start_page.file", "C:\\lmrstart.htm"}, {"launch.started", "yes"}}},
    {"NoTempPathAtAll", "/DEBUG", [](WindowsModel& w) { w.FailTempPath(); },
     {{"no-temp-folder",
       {"402: (opvragen tijdelijke directory mislukt)", "403: TempDir = C:\\"},
       "GetTempPath mislukte",
       "Stel de omgevingsvariabelen TEMP en TMP in"}},
     {{"start_page.temp_path", "GetTempPath failed"}, {"start_page.temp_directory", "C:\\"}}},
    {"RegistryKeyDenied", "",
     [](WindowsModel& w) { w.DenyRegistryKey(HkeyClassesRoot, ".lmr"); },
     {{"registry-key-failed",
       {"301: (aanmaken \".lmr\" sleutel mislukt)", "Exception: Failed to set data for ''"},
       "kon de registersleutel HKEY_CLASSES_ROOT\\.lmr niet aanmaken",
       "Start de cd-rom één keer met beheerdersrechten"}},
     {{"registration.failed_key", "HKEY_CLASSES_ROOT\\.lmr"},
      {"registration.error", "Failed to set data for ''"},
      {"registration.result", "not every key written"}}},
    {"ChecksThatRepair", "/CHECKS",
     [](WindowsModel& w) {
       AddUnknownBrowserAndNavigator(w);
       w.AddLibrary("C:\\WINDOWS\\SYSTEM32\\shdocvw.dll", {{"DllRegisterServer", [] { return 0; }}});
     },
     {},
     {{"start.extra_checks", "yes"}, {"start.debug", "no"},
      {"checks.library", "C:\\WINDOWS\\SYSTEM32\\actxprxy.dll: not present | "
                         "C:\\WINDOWS\\SYSTEM32\\shdocvw.dll: registered again"},
      {"repair_search.best", "C:\\Netscape\\netscape.exe (score 1)"},
      {"checks.htm_association", "C:\\Netscape\\netscape.exe now opens .htm files"},
      {"browser.code", "NN4"}}},
    {"ChecksThatFail", "/CHECKS",
     [](WindowsModel& w) {
       AddUnknownBrowserAndNavigator(w);
       w.AddLibrary("C:\\WINDOWS\\SYSTEM32\\shdocvw.dll", {{"DllRegisterServer", [] { return 1; }}});
       w.DenyRegistryKey(HkeyClassesRoot, ".htm");
     },
     {{"script-repair-failed",
       {"xxx RAL: FileName = C:\\WINDOWS\\SYSTEM32\\shdocvw.dll", "xxx RAL: (registratie is mislukt!)"},
       "de registratiefunctie (DllRegisterServer) meldde een fout",
       "uw browser (code NN4) is een andere"},
      {"htm-repair-failed",
       {"xxx RHTM: (registreren C:\\Netscape\\netscape.exe)", "xxx RHTM: (aanmaken \".htm\"",
        "Exception: Failed to set data for ''"},
       "HTML-bestanden openen dus nog met de vorige browser",
       "Start de cd-rom één keer met beheerdersrechten"},
      UnknownBrowserFoundABetterOne},
     {{"checks.htm_association", "not changed: registering C:\\Netscape\\netscape.exe failed"}}},
    // The repair points .htm at its own file type before it makes the type;
    // where the type or its command cannot be made, HTML files open with
    // nothing at all.
    {"HtmRepairWithoutItsCommandKey", "/CHECKS",
     [](WindowsModel& w) {
       w.DenyRegistryKey(HkeyClassesRoot, "Lumora.htmlfile\\Shell\\Open\\Command");
     },
     {{"htm-repair-failed",
       {"xxx RHTM: (registreren C:\\Browser\\browser.exe)",
        "xxx RHTM: (aanmaken \"Lumora.htmlfile\\Shell\\Open\\Command\""},
       "Daardoor heeft Windows geen programma meer voor HTML-bestanden (FindExecutable gaf "
       "daarna 31)",
       "Start de cd-rom één keer met beheerdersrechten"},
      HalfDoneRepair},
     {{"checks.htm_association",
       "half changed: .htm points at Lumora.htmlfile, which got no open command"},
      {"log.outcome", "stopped: no browser"}}},
    {"HtmRepairWithoutItsFileType", "/CHECKS",
     [](WindowsModel& w) { w.DenyRegistryKey(HkeyClassesRoot, "Lumora.htmlfile"); },
     {{"htm-repair-failed",
       {"xxx RHTM: (registreren C:\\Browser\\browser.exe)",
        "xxx RHTM: (aanmaken \"Lumora.htmlfile\" sleutel mislukt)",
        "Exception: Failed to set data for ''"},
       "Toen was .htm al aan het bestandstype Lumora.htmlfile gekoppeld",
       "Start de cd-rom één keer met beheerdersrechten"},
      HalfDoneRepair},
     {{"checks.htm_association",
       "half changed: .htm points at Lumora.htmlfile, which got no open command"}}},
    {"HtmRepairKeepingAnEarlierCommand", "/CHECKS",
     [](WindowsModel& w) {
       w.SetRegistryText(HkeyClassesRoot, "Lumora.htmlfile\\Shell\\Open\\Command", "",
                         "\"C:\\Browser\\browser.exe\" \"%1\"");
       w.DenyRegistryKey(HkeyClassesRoot, "Lumora.htmlfile\\Shell\\Open\\Command");
     },
     {{"htm-repair-failed",
       {"xxx RHTM: (registreren C:\\Browser\\browser.exe)",
        "xxx RHTM: (aanmaken \"Lumora.htmlfile\\Shell\\Open\\Command\""},
       "Dat type had nog de opdracht van een eerdere keer, dus HTML-bestanden openen nu met "
       "C:\\Browser\\browser.exe",
       "Start de cd-rom één keer met beheerdersrechten"}},
     {{"launch.started", "yes"}}},
    {"BrokeOffInTheLookup", "/DEBUG",
     [](WindowsModel& w) { w.OnFindExecutable([] { throw EWriteError(); }); },
     {{"run-broke-off",
       {"200: HTMLFileName"},
       "brak af tijdens het opzoeken en herkennen van de standaardbrowser, na regel 22",
       "Schrijf ons wat er in het venster 'Application Error' stond"}},
     {{"log.outcome", "broke off in the lookup of the browser"}}},
    {"BrokeOffInALibrarysRegistration", "/CHECKS",
     [](WindowsModel& w) {
       w.AddLibrary("C:\\WINDOWS\\SYSTEM32\\shdocvw.dll",
                    {{"DllRegisterServer", []() -> std::int32_t { throw EWriteError(); }}});
     },
     {{"run-broke-off",
       {"xxx RAL: LibHandle"},
       "Hier liep de registratiefunctie (DllRegisterServer) van "
       "C:\\WINDOWS\\SYSTEM32\\shdocvw.dll vast",
       "Start de cd-rom voortaan zonder /CHECKS"}},
     {{"log.outcome", "broke off in the built-in checks of /CHECKS"}}},
    {"ScreenTooSmall", "/DEBUG", [](WindowsModel& w) { w.SetWorkArea(Rect{0, 0, 640, 480}); },
     {{"screen-too-small",
       {"400: (bureaublad is 640 bij 480 pixels)", "401: (browser wordt 660 bij 558 pixels)",
        "408: OpenHTMLdoc = D:\\intface\\eenvoud\\bureau.htm"},
       "Het bureaublad (het scherm zonder de taakbalk) is 640 x 480 pixels",
       "minstens 670 x 568 pixels overblijven"}},
     {{"window.work_area", "640 x 480"}, {"window.page", "the simple page: too little room"}}},
    {"ScreenNotKnown", "/DEBUG", [](WindowsModel& w) { w.FailScreenQueries(); },
     {{"screen-too-small",
       {"408: OpenHTMLdoc = D:\\intface\\eenvoud\\bureau.htm"},
       "De launcher kon de grootte van het bureaublad niet opvragen",
       "Start de cd-rom opnieuw"}},
     {{"window.page", "the simple page: too little room"}}},
    {"CatalogueCopyRefused", "",
     [](WindowsModel& w) {
       w.AddFile("C:\\WINDOWS\\BROWSERS.INI", "", FileAttributeReadOnly);
     },
     {{"catalogue-copy-failed",
       {"xxx GBIFN: (Kopi", "Exception: Cannot create file C:\\WINDOWS\\BROWSERS.INI"},
       "niet naar C:\\WINDOWS\\BROWSERS.INI kopiëren",
       "Zet bij het bestand C:\\WINDOWS\\BROWSERS.INI in de eigenschappen 'Alleen-lezen' uit"}},
     {{"catalogue.copy", "failed: Cannot create file C:\\WINDOWS\\BROWSERS.INI"},
      {"catalogue.used", "D:\\intface\\browsers.ini"}}},
    {"CatalogueCopyWithoutAWindowsFolder", "",
     [](WindowsModel& w) { w.SetWindowsDirectory(""); },
     {{"catalogue-copy-failed",
       {"xxx GBIFN: Lengte = 0", "xxx GBIFN: (Kopi", "Exception: Cannot create file"},
       "Windows gaf de launcher zijn Windows-map niet op (lengte 0)",
       "Start de pc opnieuw en daarna de cd-rom"}},
     {{"catalogue.windows", "none: the Windows directory is not known (length 0)"}}},
    // Without a catalogue every browser is unknown: the advice is about the
    // disc, not the reader's browser.
    {"CatalogueMissing", "",
     [](WindowsModel& w) { w.DeleteFile("D:\\intface\\browsers.ini"); },
     {{"browser-unknown",
       {"202: BrowserStr", "xxx GBN: Browser = ONB", "Melding: (onbekende",
        "Melding: (helaas geen betere"},
       "De catalogus zelf kon niet gelezen worden",
       "Uw browser hoeft u niet te vervangen"},
      NothingToLaunch},
     {{"catalogue.cd", "D:\\intface\\browsers.ini, version 0"}}},
    {"CatalogueOnlyInTheWindowsFolder", "",
     [](WindowsModel& w) {
       w.AddFile("C:\\WINDOWS\\BROWSERS.INI", w.FileContent("D:\\intface\\browsers.ini").value_or(""));
       w.DeleteFile("D:\\intface\\browsers.ini");
       w.SetVersionResource(Browser, ProductVersion("1.0"));
     },
     {{"browser-unknown",
       {"202: BrowserStr", "xxx GBN: Browser = ONB", "Melding: (onbekende",
        "Melding: (helaas geen betere"},
       "kent die browser niet (code ONB)",
       "Installeer een ondersteunde browser"},
      NothingToLaunch},
     {{"catalogue.used", "C:\\WINDOWS\\BROWSERS.INI"}}},
    {"BrowserWouldNotStart", "", [](WindowsModel& w) { w.FailProcessStarts(); },
     {{"launch-failed",
       {"407: BrowserPad = C:\\Browser\\browser.exe", "408: OpenHTMLdoc", "Melding: (cd-rom kan"},
       "Windows kon de browser C:\\Browser\\browser.exe niet starten",
       "Controleer ook of C:\\Browser\\browser.exe zelf nog start"}},
     {{"launch.browser", "C:\\Browser\\browser.exe"}, {"launch.started", "no"}}},
};

// The log a run on the path named `name` leaves, on a model of its own.
std::string LogOfPath(const std::string& name) {
  class PathRun : public ProgramRun {
   public:
    std::string LogOf(const RunPath& path) {
      path.arrange(windows);
      Run(path.arguments);
      return Log().value_or("");
    }

   private:
    void TestBody() override {}
  };
  const RunPath* path = nullptr;
  for (const RunPath& candidate : RunPaths) {
    if (candidate.name == name) path = &candidate;
  }
  if (!path) throw std::logic_error("no run path " + name);
  Win32Api& installed = Api();
  std::string log = PathRun().LogOf(*path);
  InstallApi(installed);
  return log;
}

class LogOfARun : public ProgramRun, public ::testing::WithParamInterface<RunPath> {};

TEST_P(LogOfARun, IsReadBackToThePathThatWroteIt) {
  GetParam().arrange(windows);
  Run(GetParam().arguments);
  const auto log = Log();
  ASSERT_TRUE(log) << "the run kept no log";
  const LogReading reading = ReadLauncherLog(DecodeLogText(*log));
  ExpectReading(reading, *log, CodesOf(GetParam().findings), GetParam().facts);
  ExpectShapes(reading, GetParam().findings);
  // An intact log's lines are told exactly as it holds them.
  const std::vector<std::string> lines = TextLines(*log);
  for (const LogFinding& finding : reading.findings) {
    for (const NumberedLine& line : finding.lines) {
      EXPECT_EQ(line.text, lines.at(static_cast<std::size_t>(line.number) - 1)) << finding.code;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, LogOfARun, ::testing::ValuesIn(RunPaths),
                         [](const auto& info) { return std::string(info.param.name); });

// --- every line form the launcher writes ---

TEST(LogLines, EveryFormTheLauncherWritesIsRecognised) {
  using K = LogLineKind;
  const std::pair<const char*, LogLineKind> forms[] = {
      {"Stuur de complete inhoud van deze logfile naar helpdesk@lumora.nl voor", K::HeaderFirst},
      {"een mogelijke oplossing. Verander niets aan de inhoud!", K::HeaderSecond},
      {"-------------------------------------------------------------------", K::HeaderRule},
      {"100: StartDir = D:\\", K::StartDir},
      {"101: Debug = FALSE", K::Debug},
      {"xxx GFI: FileName = D:\\TARVO32.EXE", K::VersionFile},
      {"xxx GFI: InfoType = FileVersion", K::VersionType},
      {"xxx GFI: InfoSize = 1244", K::VersionSize},
      {"xxx GFI: (GetFileVersionInfo is mislukt)", K::VersionFailed},
      {"xxx GFI: TranslationTable = 041304E4", K::VersionTranslation},
      {"xxx GFI: Waarde = 1.52.0.0", K::VersionValue},
      {"102: VersieIntern = 1.52.0.0", K::OwnVersion},
      {"103: VersieCD = 1.53.0.0", K::CdVersion},
      {"Melding: (oude versie van TARVO32.EXE)", K::OldLauncher},
      {"104: (volumelabel = LUMORA)", K::VolumeLabel},
      {"C00: (start uitvoeren alle ingebouwde checks)", K::ChecksStart},
      {"xxx SSEIE: Lengte = 19", K::SystemDirLength},
      {"xxx SSEIE: SystemDir = C:\\WINDOWS\\SYSTEM\\", K::SystemDir},
      {"xxx RAL: FileName = C:\\WINDOWS\\SYSTEM\\actxprxy.dll", K::LibraryFile},
      {"xxx RAL: (bestand niet aanwezig)", K::LibraryMissing},
      {"xxx RAL: LibHandle = 268435456", K::LibraryHandle},
      {"xxx RAL: (LoadLibrary is mislukt!)", K::LibraryLoadFailed},
      {"xxx RAL: (GetProcAddress is mislukt!)", K::LibraryNoEntry},
      {"xxx RAL: (registratie is gelukt!)", K::LibraryRegistered},
      {"xxx RAL: (registratie is mislukt!)", K::LibraryNotRegistered},
      {"C01: (SolveScriptErrorIE uitgevoerd)", K::ScriptRepairDone},
      {"xxx RHTM: (registreren C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE)",
       K::HtmRegistering},
      {"xxx RHTM: (aanmaken \".htm\" sleutel mislukt)", K::HtmKeyFailed},
      {"xxx RHTM: (aanmaken \"Lumora.htmlfile\" sleutel mislukt)", K::HtmKeyFailed},
      {"xxx RHTM: (aanmaken \"Lumora.htmlfile\\Shell\\Open\\Command\" sleutel mislukt)",
       K::HtmKeyFailed},
      {"xxx RHTM: (registreren browser uitgevoerd)", K::HtmRegistered},
      {"C02: (RegistreerHTM uitgevoerd)", K::HtmRepairDone},
      {"200: HTMLFileName = D:\\intface\\hoofd.htm", K::HtmlFile},
      {"201: (FindExecutable = 42)", K::FindExecutable},
      {"202: BrowserStr = C:\\Browser\\browser.exe", K::BrowserStr},
      {"203: Executable niet gevonden!", K::BrowserMissing},
      {"Melding: (ongeldige directory via commandline)", K::InvalidDirectory},
      {"Melding: (geen browser geïnstalleerd)", K::NoBrowser},
      {"xxx GBN: FileName = C:\\BROWSER\\BROWSER.EXE", K::BrowserFile},
      {"xxx GBN: Versie = 5.0", K::BrowserVersion},
      {"xxx GBN: BrowserIniFile = D:\\intface\\browsers.ini", K::BrowserCatalogue},
      {"xxx GBN: BrowserCount = 1", K::BrowserEntry},
      {"xxx GBN: (EExtern = Browser 5)", K::BrowserName},
      {"xxx GBN: Browser = IE5", K::BrowserCode},
      {"xxx GBIFN: IniFileNameCD = D:\\intface\\browsers.ini", K::CatalogueCd},
      {"xxx GBIFN: IniVersieCD = 1", K::CatalogueCdVersion},
      {"xxx GBIFN: Lengte = 10", K::WindowsDirLength},
      {"xxx GBIFN: IniFileNameWindows = C:\\WINDOWS\\BROWSERS.INI", K::CatalogueWindows},
      {"xxx GBIFN: IniVersieWindows = 0", K::CatalogueWindowsVersion},
      {"xxx GBIFN: (Kopiëren INI file)", K::CatalogueCopy},
      {"Melding: (onbekende of niet ondersteunde browser)", K::UnknownBrowser},
      {"xxx GBB: Count = 4", K::SearchCount},
      {"xxx GBB: (aantal .exe in lijst = 2)", K::SearchNames},
      {"xxx GBB: (aantal gevonden browsers = 1)", K::SearchFound},
      {"xxx GBB: BrowserVoorkeur = NN4 IE5", K::SearchPreference},
      {"xxx GBB: BrowserIntern = NN4", K::CandidateCode},
      {"xxx GBB: Score = 1", K::CandidateScore},
      {"xxx GBB: BesteScore = 1", K::BestScore},
      {"xxx GBB: BesteBrowser = 0", K::BestIndex},
      {"xxx GBB: (ofwel C:\\Netscape\\netscape.exe)", K::BestBrowser},
      {"Melding: (helaas geen betere browser gevonden)", K::NoBetterBrowser},
      {"Melding: (betere browser gevonden)", K::BetterBrowser},
      {"300: (aanmaken sleutels in registry)", K::Registration},
      {"301: (aanmaken \".lmr\" sleutel mislukt)", K::KeyFailed},
      {"302: (aanmaken \"Lumora.runfile\" sleutel mislukt)", K::KeyFailed},
      {"303: (aanmaken \"Lumora.runfile\\Shell\" sleutel mislukt)", K::KeyFailed},
      {"304: (verwijderen foutieve &Starten waarde bèta cd-rom is gelukt!)", K::BetaValueRemoved},
      {"305: (aanmaken \"Lumora.runfile\\Shell\\Open\" sleutel mislukt)", K::KeyFailed},
      {"306 (aanmaken \"Lumora.runfile\\Shell\\Open\\Command\" sleutel mislukt)", K::KeyFailed},
      {"307: (aanmaken \"MIME\\Database\\Content Type\\application/runfile\" sleutel mislukt)",
       K::KeyFailed},
      {"310: (aanmaken \"Software\\Netscape\\Netscape Navigator\\Suffixes\" sleutel mislukt)",
       K::KeyFailed},
      {"311: (aanmaken \"Software\\Netscape\\Netscape Navigator\\Viewers\" sleutel mislukt)",
       K::KeyFailed},
      {"312: (aanmaken \"Software\\Netscape\\Netscape Navigator\\User Trusted External "
       "Applications\" sleutel mislukt)",
       K::KeyFailed},
      {"321: (aanmaken \"Software\\Netscape\\Netscape Navigator\\User Trusted External "
       "Applications\" sleutel mislukt)",
       K::KeyFailed},
      {"331: (aanmaken \"Lumora.runfile\" sleutel mislukt)", K::KeyFailed},
      {"400: (bureaublad is 800 bij 572 pixels)", K::DesktopSize},
      {"401: (browser wordt 660 bij 558 pixels)", K::WindowSize},
      {"402: (opvragen tijdelijke directory mislukt)", K::NoTempPath},
      {"403: TempDir = C:\\WINDOWS\\TEMP\\", K::TempDir},
      {"Melding: (tempdir bestaat niet)", K::TempIsStartDir},
      {"404: (ConvertToBrowserDir = file:///d|/intface/hoofd.htm)", K::MainPageAddress},
      {"405: FileName = C:\\WINDOWS\\TEMP\\lmrstart.htm", K::StartPageFile},
      {"406: (vervangen en aanmaken startpagina gelukt)", K::StartPageWritten},
      {"xxx EL: (Exception EFCreateError: Cannot create file C:\\WINDOWS\\TEMP\\lmrstart.htm)",
       K::DiagnosisError},
      {"xxx EL: (C:\\WINDOWS\\TEMP\\lmrstart.htm bestaat al)", K::DiagnosisExists},
      {"xxx EL: FileDatum = 8-12-2026 12:00:00", K::DiagnosisDate},
      {"xxx EL: (File attribute = 33)", K::DiagnosisAttributes},
      {"xxx EL: (C:\\GONE\\lmrstart.htm bestaat niet)", K::DiagnosisMissing},
      {"xxx EL: (C:\\WINDOWS\\TEMP\\ bestaat)", K::DiagnosisPresent},
      {"xxx EL: (Drive type kan niet bepaald worden)", K::DiagnosisDrive},
      {"xxx EL: (Root directory bestaat niet)", K::DiagnosisDrive},
      {"xxx EL: (Drive type is DRIVE_REMOVABLE)", K::DiagnosisDrive},
      {"xxx EL: (Drive type is onbekend)", K::DiagnosisDrive},
      {"xxx EL: (grootte = 10737418240)", K::DiagnosisSize},
      {"xxx EL: (vrij = -1)", K::DiagnosisFree},
      {"407: BrowserPad = C:\\Browser\\browser.exe", K::BrowserPad},
      {"408: OpenHTMLdoc = C:\\WINDOWS\\TEMP\\lmrstart.htm", K::Document},
      {"Melding: (cd-rom kan niet gestart worden)", K::LaunchFailed},
      {"Exception: Failed to set data for ''", K::Exception},
  };
  std::string text;
  for (const auto& [line, kind] : forms) text += std::string(line) + "\r\n";
  const LogLines lines = NormaliseLogLines(text);
  ASSERT_EQ(lines.entries.size(), std::size(forms));
  for (std::size_t i = 0; i < std::size(forms); ++i) {
    EXPECT_EQ(lines.entries[i].kind, forms[i].second) << forms[i].first;
    EXPECT_EQ(lines.entries[i].number, i + 1) << forms[i].first;
  }
}

// --- damaged logs and files that are none ---

std::string Utf8(const std::string& windows1252) {
  std::string text;
  for (const char c : windows1252) {
    const std::uint16_t u = UnicodeOfWindows1252(static_cast<unsigned char>(c));
    if (u < 0x80) {
      text += static_cast<char>(u);
    } else if (u < 0x800) {
      text += {static_cast<char>(0xC0 | u >> 6), static_cast<char>(0x80 | (u & 0x3F))};
    } else {
      text += {static_cast<char>(0xE0 | u >> 12), static_cast<char>(0x80 | (u >> 6 & 0x3F)),
               static_cast<char>(0x80 | (u & 0x3F))};
    }
  }
  return text;
}

std::string Utf16(const std::string& windows1252, bool bigEndian, bool marked) {
  std::string text = !marked ? "" : bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char c : windows1252) {
    const std::uint16_t u = UnicodeOfWindows1252(static_cast<unsigned char>(c));
    const char high = static_cast<char>(u >> 8);
    const char low = static_cast<char>(u & 0xFF);
    text += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return text;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// The text up to `end` (the first line that holds it), or up to its middle.
std::string CutAt(const std::string& text, const std::string& end, bool midLine) {
  const auto at = text.find(end);
  return text.substr(0, midLine ? at + end.size() / 2 : text.find("\r\n", at) + 2);
}

// The text up to the line that begins with `line`.
std::string CutBefore(const std::string& text, const std::string& line) {
  return text.substr(0, text.find("\r\n" + line) + 2);
}

// Each line as a reply quotes it, below the words that introduce it.
std::string Quoted(const std::string& text, const std::string& quote) {
  std::string quoted = "Jan Jansen schreef:\r\n\r\n";
  for (const std::string& line : TextLines(text)) {
    quoted += (line.empty() ? quote.substr(0, quote.find(' ')) : quote + line) + "\r\n";
  }
  return quoted;
}

// Each line longer than `width` broken at its last blank within it, as mail
// programs wrap a text; a word longer than `width` stays whole.
std::string Wrapped(const std::string& text, std::size_t width) {
  std::string wrapped;
  for (std::string line : TextLines(text)) {
    for (auto blank = line.rfind(' ', width); line.size() > width && blank != std::string::npos &&
                                              blank > 0;
         blank = line.rfind(' ', width)) {
      wrapped += line.substr(0, blank) + "\r\n";
      line = line.substr(blank + 1);
    }
    wrapped += line + "\r\n";
  }
  return wrapped;
}

struct Damage {
  const char* what;
  std::function<std::string(const std::string&)> damage;
  std::vector<std::string> codes;
  Facts facts;
  const char* base = nullptr;  // the run path whose log is damaged; none: a search's
};

const char* const Better = "browser-unknown";

class LogCommand : public ProgramRun {
 protected:
  // A log of a search that found a better browser, which ends normally.
  std::string SearchLog() {
    AddUnknownBrowserAndNavigator(windows);
    Run("/DEBUG");
    return Log().value_or("");
  }

  CheckStatus Check(const std::vector<std::string>& arguments) {
    std::ostringstream outStream;
    std::ostringstream errorStream;
    const CheckStatus status = RunTarvoCheck(arguments, outStream, errorStream);
    out = outStream.str();
    error = errorStream.str();
    return status;
  }

  std::string out;
  std::string error;
};

TEST_F(LogCommand, ReadsADamagedLogForWhatItHoldsAndSaysWhereItEnds) {
  const std::string log = SearchLog();
  const Damage damages[] = {
      {"LF line ends", [](const std::string& t) { return Replaced(t, "\r\n", "\n"); }, {Better},
       {{"log.line_ends", "LF"}, {"log.ending", "complete"}, {"launch.started", "yes"}}},
      {"CR line ends", [](const std::string& t) { return Replaced(t, "\r\n", "\r"); }, {Better},
       {{"log.line_ends", "CR"}, {"log.ending", "complete"}}},
      {"UTF-8", Utf8, {Better},
       {{"log.encoding", "UTF-8"}, {"catalogue.copy", "the CD's copied to the Windows directory"}}},
      {"UTF-8 with its mark", [](const std::string& t) { return "\xEF\xBB\xBF" + Utf8(t); },
       {Better}, {{"log.encoding", "UTF-8"}, {"log.header", "present"}}},
      {"UTF-16", [](const std::string& t) { return Utf16(t, false, true); }, {Better},
       {{"log.encoding", "UTF-16"}}},
      {"no header",
       [](const std::string& t) { return t.substr(t.find("100: StartDir")); }, {Better},
       {{"log.header", "missing"}, {"start.start_directory", "D:\\"}}},
      {"closing lines lost",
       [](const std::string& t) { return t.substr(0, t.size() - 4); }, {Better},
       {{"log.ending", "without the two empty lines that close a log"},
        {"launch.started", "yes"}}},
      {"a signature below it", [](const std::string& t) { return t + "-- \r\nJan\r\n"; },
       {Better}, {{"log.ending", "complete"}, {"log.text_after", "lines 97-98: not the launcher's, left out"}}},
      {"cut off in the search",
       [](const std::string& t) { return CutAt(t, "xxx GBB: Score", false); },
       {Better, "log-cut-off"},
       {{"search.result", "not known: the log ends in the search"},
        {"log.outcome", "not known: the log is cut off in the search of drive C: for a better browser"}}},
      {"cut off in the middle of a line",
       [](const std::string& t) { return CutAt(t, "408: OpenHTMLdoc", true); },
       {Better, "log-cut-off"}, {{"launch.started", "(absent)"}}},
      // as mail programs quote, indent, wrap and sign it
      {"quoted in a reply", [](const std::string& t) { return Quoted(t, "> "); }, {Better},
       {{"log.quoted", "\"> \" before 89 lines, taken off"},
        {"log.text_before", "line 1: not the launcher's, left out"},
        {"log.ending", "complete"}, {"launch.started", "yes"}}},
      {"quoted twice", [](const std::string& t) { return Quoted(t, ">> "); }, {Better},
       {{"log.quoted", "\">> \" before 89 lines, taken off"}, {"log.ending", "complete"}}},
      {"indented", [](const std::string& t) { return Replaced("  " + t, "\r\n", "\r\n  "); },
       {Better}, {{"log.quoted", "2 blanks before 89 lines, taken off"}}},
      {"indented by a tab", [](const std::string& t) { return Replaced("\t" + t, "\r\n", "\r\n\t"); },
       {Better}, {{"log.quoted", "a tab before 89 lines, taken off"}}},
      {"wrapped at 72", [](const std::string& t) { return Wrapped(t, 72); },
       {"template-unreadable"},
       {{"log.wrapped", "line 48: joined with the line after, as a mail program had wrapped them"},
        {"log.outcome", "stopped: the start page could not be made"},
        {"start_page.error", "EFOpenError: Cannot open file D:\\intface\\template.htm"}},
       "TemplateMissing"},
      {"wrapped at 76", [](const std::string& t) { return Wrapped(t, 76); },
       {"start-page-read-only"},
       {{"start_page.error", "EFCreateError: Cannot create file C:\\WINDOWS\\TEMP\\lmrstart.htm"}},
       "StartPageReadOnly"},
      {"wrapped at 72, the folder missing", [](const std::string& t) { return Wrapped(t, 72); },
       {"temp-folder-missing"}, {{"log.ending", "complete"}}, "TempFolderMissing"},
      {"a signature without a line end", [](const std::string& t) { return t + "Groeten, Jan"; },
       {Better},
       {{"log.ending", "complete"}, {"log.outcome", "the browser started"},
        {"log.text_after", "line 97: not the launcher's, left out"}}},
      {"two blanks after the last line", [](const std::string& t) { return t + "  "; }, {Better},
       {{"log.ending", "complete"}, {"log.outcome", "the browser started"}}},
      {"blanks and tabs at the ends of lines",
       [](const std::string& t) { return Replaced(t, "\r\n", " \t\r\n"); }, {Better},
       {{"log.blanks_at_line_ends", "89 lines end in blanks the launcher did not write: ignored"},
        {"launch.started", "yes"}}},
      // as editors and tools save it
      {"UTF-16 without its mark", [](const std::string& t) { return Utf16(t, false, false); },
       {Better}, {{"log.encoding", "UTF-16 little-endian, without its byte-order mark"}}},
      {"UTF-16 big-endian without its mark",
       [](const std::string& t) { return Utf16(t, true, false); }, {Better},
       {{"log.encoding", "UTF-16 big-endian, without its byte-order mark"},
        {"launch.started", "yes"}}},
      {"zero bytes after it", [](const std::string& t) { return t + std::string(512, '\0'); },
       {Better},
       {{"log.padding", "512 zero bytes after the text, left out"}, {"log.ending", "complete"}}},
      {"UTF-16 with zero bytes after it",
       [](const std::string& t) { return Utf16(t, false, true) + std::string(7, '\0'); },
       {Better}, {{"log.padding", "6 zero bytes after the text, left out"}}},
      {"a stray byte in UTF-8",
       [](const std::string& t) { return Replaced(Utf8(t), "C:\\Browser\\", "C:\\Br\xFFowser\\"); },
       {Better},
       {{"log.encoding", "UTF-8"},
        {"log.stray_bytes", "line 24: a byte that is no UTF-8, read as Windows-1252"},
        {"browser.registered_browser", "C:\\Br\xFFowser\\browser.exe"}}},
      {"an accented letter damaged in UTF-8",
       [](const std::string& t) { return Replaced(Utf8(t), "\xC3\xAB", "\xC3"); }, {Better},
       {{"log.damaged_accents",
         "line 37: an accented letter came through damaged; read as the launcher's line all the "
         "same"},
        {"catalogue.copy", "the CD's copied to the Windows directory"}}},
      {"decomposed accents",
       [](const std::string& t) { return Replaced(Utf8(t), "\xC3\xAB", "e\xCC\x88"); }, {Better},
       {{"log.encoding", "UTF-8"},
        {"log.decomposed_accents", "line 37: letters and their separate accents joined"},
        {"log.damaged_accents", "(absent)"},
        {"catalogue.copy", "the CD's copied to the Windows directory"}}},
      {"an accent lost to a question mark",
       [](const std::string& t) { return Replaced(t, "Kopi\xEBren", "Kopie?ren"); }, {Better},
       {{"catalogue.copy", "the CD's copied to the Windows directory"}}},
      // two runs, and logs that lost lines
      {"two runs pasted",
       [](const std::string& t) { return t + "\r\n-- \r\nJan\r\n\r\n" + LogOfPath("RegistryKeyDenied"); },
       {"registry-key-failed"},
       {{"log.runs", "2 in this file; the last, from line 101, is read here"},
        {"log.earlier_run", "lines 1-94: the browser started; findings: browser-unknown"},
        {"log.text_between_runs", "lines 98-99: not the launcher's, left out"},
        {"browser.code", "IE5"}, {"search.result", "(absent)"}}},
      {"a run without switches that lost its launch failure",
       [](const std::string& t) { return CutBefore(t, "Melding: (cd-rom kan"); }, {"log-damaged"},
       {{"log.ending", "damaged: the line that made the launcher keep this log is missing"},
        {"log.outcome", "not known: lines are missing from the log"},
        {"launch.started", "(absent)"}},
       "BrowserWouldNotStart"},
      {"a run without switches that lost its problem lines but kept a search's error",
       [](const std::string& t) {
         return Replaced(
             Replaced(Replaced(t, "xxx GBB: BesteScore", "Exception: Out of memory\r\nxxx GBB: BesteScore"),
                      "Melding: (helaas geen betere browser gevonden)\r\n", ""),
             "Melding: (cd-rom kan niet gestart worden)\r\n", "");
       },
       {"log-damaged", Better, "search-failed"},
       {{"log.outcome", "not known: lines are missing from the log"}},
       "SearchWithoutABetterBrowser"},
      {"a run without switches cut after its last problem line",
       [](const std::string& t) { return CutAt(t, "Exception: Failed", false); },
       {"registry-key-failed", "log-cut-off"},
       {{"log.outcome", "not known: the log is cut off in the registry entries"}},
       "RegistryKeyDenied"},
      {"the line that ends the run damaged",
       [](const std::string& t) { return Replaced(t, "Melding: (geen browser", "Melding: (gene browser"); },
       {"log-damaged"},
       {{"log.ending", "not known: the lines after line 23 cannot be read"},
        {"log.outcome", "not known: the log's last lines cannot be read, after the lookup of the browser"},
        {"log.unrecognised_lines", "1, the first is line 24"}},
       "NoBrowserForHtmlFiles"},
      {"a line in the middle damaged",
       [](const std::string& t) { return Replaced(t, "300: (aanmaken", "3OO: (aanmaken"); },
       {Better, "log-damaged"},
       {{"log.ending", "complete"}, {"log.outcome", "the browser started"},
        {"log.unrecognised_lines", "1, the first is line 85"}}},
  };
  for (const Damage& d : damages) {
    SCOPED_TRACE(d.what);
    const std::string text = d.damage(d.base ? LogOfPath(d.base) : log);
    const LogReading reading = ReadLauncherLog(DecodeLogText(text));
    ExpectReading(reading, text, d.codes, d.facts);
    // A cut-off log names its own last line.
    if (!d.codes.empty() && d.codes.back() == "log-cut-off") {
      EXPECT_EQ(reading.findings.back().lines.back().number,
                static_cast<int>(TextLines(Replaced(text, "\r\n", "\n")).size()));
    }
  }
}

// The diagnosis of a start page that could not be made, line by line: the
// lines of a run without switches up to its diagnosis, then these.
TEST_F(LogCommand, TellsEachDiagnosisByItsFacts) {
  const std::string page = "C:\\WINDOWS\\TEMP\\lmrstart.htm";
  const std::vector<std::string> created = {"(Exception EFCreateError: Cannot create file " + page + ")"};
  const auto existing = [&](const char* attributes) {
    return std::vector<std::string>{created[0], "(" + page + " bestaat al)",
                                    "FileDatum = 8-12-2026 12:00:00",
                                    std::string("(File attribute = ") + attributes + ")"};
  };
  const auto missing = [&](const char* folder, const char* drive, const char* free) {
    return std::vector<std::string>{created[0], "(" + page + " bestaat niet)",
                                    std::string("(C:\\WINDOWS\\TEMP\\ ") + folder + ")",
                                    std::string("(Drive type is ") + drive + ")",
                                    "(grootte = 10737418240)", std::string("(vrij = ") + free + ")"};
  };
  struct Row {
    const char* what;
    std::vector<std::string> lines;  // after "xxx EL: "
    const char* code;
    const char* meaning;
    const char* notMeant;  // a phrase its meaning must not hold
  };
  const Row rows[] = {
      {"read-only", existing("1"), "start-page-read-only", "is alleen-lezen (bestandskenmerk 1,",
       "niet alleen-lezen"},
      {"read-only, with the archive bit", existing("33"), "start-page-read-only",
       "is alleen-lezen (bestandskenmerk 33,", "niet alleen-lezen"},
      {"an ordinary file", existing("32"), "start-page-locked",
       "is niet alleen-lezen (bestandskenmerk 32)", "kenmerken konden niet"},
      {"attributes not known", existing("-1"), "start-page-locked",
       "zijn bestandskenmerken konden niet opgevraagd worden", "is alleen-lezen"},
      {"the folder missing", missing("bestaat niet", "DRIVE_FIXED", "5000"), "temp-folder-missing",
       "De map voor tijdelijke bestanden C:\\WINDOWS\\TEMP\\ bestaat niet", "vol"},
      {"the folder missing on a full disk", missing("bestaat niet", "DRIVE_FIXED", "0"),
       "temp-folder-missing", "bestaat niet", "vol"},
      {"a full disk", missing("bestaat", "DRIVE_FIXED", "0"), "temp-disk-full",
       "met de map voor tijdelijke bestanden is vol (0 bytes vrij)", "bestaat niet"},
      {"free space not known", missing("bestaat", "DRIVE_FIXED", "-1"), "temp-folder-denied",
       "de vrije ruimte kon niet opgevraagd worden", "er is ruimte"},
      {"room in a folder not to be written", missing("bestaat", "DRIVE_FIXED", "5000"),
       "temp-folder-denied", "bestaat en er is ruimte, maar", "van het type"},
      {"a removable drive", missing("bestaat", "DRIVE_REMOVABLE", "5000"), "temp-folder-denied",
       "(het station is van het type DRIVE_REMOVABLE)", "vrije ruimte kon niet"},
      {"a write cut short",
       {"(Exception EWriteError: Stream write error)", "(" + page + " bestaat al)",
        "FileDatum = 8-12-2026 12:00:00", "(File attribute = 32)"},
       "temp-disk-full", "brak af (EWriteError: Stream write error): de schijf C: is vol",
       "alleen-lezen"},
      {"the template",
       {"(Exception EFOpenError: Cannot open file D:\\intface\\template.htm)", "(D:\\ bestaat niet)",
        "(D:\\ bestaat)", "(Drive type is DRIVE_CDROM)", "(grootte = 681574400)", "(vrij = 0)"},
       "template-unreadable", "Een vuile of beschadigde cd-rom is de gewone oorzaak", "vol"},
  };
  const std::string before = CutBefore(LogOfPath("TempFolderMissing"), "xxx EL:");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    std::string text = before;
    for (const std::string& line : row.lines) text += "xxx EL: " + line + "\r\n";
    const LogReading reading = ReadLauncherLog(DecodeLogText(text + "\r\n\r\n"));
    ExpectReading(reading, text, {row.code}, {{"log.outcome", "stopped: the start page could not be made"}});
    ASSERT_EQ(reading.findings.size(), 1u);
    EXPECT_EQ(reading.findings[0].lines.size(), row.lines.size());
    EXPECT_NE(reading.findings[0].meaning.find(row.meaning), std::string::npos)
        << reading.findings[0].meaning;
    EXPECT_EQ(reading.findings[0].meaning.find(row.notMeant), std::string::npos)
        << reading.findings[0].meaning;
  }
}

// Findings no run against the model writes, from its logs edited line by
// line as another Windows would have written them.
TEST_F(LogCommand, TellsFindingsOfLinesAnotherWindowsWrites) {
  struct Row {
    const char* what;
    const char* base;
    std::function<std::string(const std::string&)> edit;
    std::vector<Shape> findings;
    Facts facts;
  };
  const Row rows[] = {
      {"a path not found", "NoBrowserForHtmlFiles",
       [](const std::string& t) { return Replaced(t, "(FindExecutable = 31)", "(FindExecutable = 3)"); },
       {{"start-directory-invalid",
         {"200: HTMLFileName", "201: (FindExecutable = 3)", "Melding: (geen browser"},
         "FindExecutable gaf 3 (pad niet gevonden)",
         "Start de cd-rom vanaf de cd-rom zelf"}},
       {{"browser.find_executable", "3 (path not found)"}}},
      {"the window size not known", "ScreenTooSmall",
       [](const std::string& t) { return Replaced(t, "401: (browser wordt 660 bij 558 pixels)\r\n", ""); },
       {{"screen-too-small",
         {"400: (bureaublad is 640 bij 480 pixels)", "408: OpenHTMLdoc"},
         "De launcher kon de rand en de titelbalk van vensters niet opvragen",
         "Stel een hogere schermresolutie in"}},
       {{"window.work_area", "640 x 480"}}},
      {"an error in the search", "SearchWithABetterBrowser",
       [](const std::string& t) {
         return Replaced(t, "xxx GBB: BesteScore", "Exception: Out of memory\r\nxxx GBB: BesteScore");
       },
       {{"search-failed", {"Exception: Out of memory"},
         "brak af met de fout 'Out of memory'", "Start de cd-rom opnieuw"},
        UnknownBrowserFoundABetterOne},
       {{"search.error", "Out of memory"}}},
      {"an error in the start page", "SupportedBrowser",
       [](const std::string& t) { return Replaced(t, "405: FileName", "Exception: boos\r\n405: FileName"); },
       {{"start-page-error", {"Exception: boos"}, "trad een onverwachte fout op (boos)",
         "Start de cd-rom opnieuw met de optie /DEBUG"}},
       {{"start_page.error", "boos"}}},
      {"an error after the window's size", "SupportedBrowser",
       [](const std::string& t) { return Replaced(t, "401: (browser", "Exception: boos\r\n401: (browser"); },
       {{"error-logged", {"Exception: boos"}, "bij geen van zijn bekende stappen hoort: boos",
         "TARVO32.EXE /DEBUG"}},
       {{"launch.started", "yes"}}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string text = row.edit(LogOfPath(row.base));
    const LogReading reading = ReadLauncherLog(DecodeLogText(text));
    ExpectReading(reading, text, CodesOf(row.findings), row.facts);
    ExpectShapes(reading, row.findings);
  }
}

TEST_F(LogCommand, GivesAFileThatIsNoLogOneLineAndStatus2) {
  struct Case {
    const char* content;  // none: no file
    std::size_t size;
    const char* why;
  };
  const Case cases[] = {
      {"<html><body><p>Hallo</p></body></html>\r\n", 40,
       " is not a launcher log: none of its lines is one the launcher writes"},
      {"Exception: boos\r\n", 17,
       " is not a launcher log: none of its lines is one the launcher writes"},
      {"MZ\x90\0\3\0\0\0\4\0", 10, " is not a launcher log: it holds binary data"},
      // "100" in UTF-16 without its mark: read, but no log
      {"\0\x31\0\x30\0\x30", 6,
       " is not a launcher log: none of its lines is one the launcher writes"},
      {"100: StartDir = D:\\\r\n\0\0\x01\0\0\r\n", 28, " is not a launcher log: it holds binary data"},
      {"", 0, " is empty"},
      {"\r\n \r\n\t\n", 7, " is empty"},
  };
  for (const Case& c : cases) {
    windows.AddFile("C:\\MAIL\\LMRSTART.LOG", std::string(c.content, c.size));
    EXPECT_EQ(Check({"log", "C:\\MAIL\\LMRSTART.LOG"}), CheckBadUsage) << c.why;
    EXPECT_EQ(error, std::string("tarvo-check: C:\\MAIL\\LMRSTART.LOG") + c.why + "\n");
    EXPECT_EQ(out, "");
  }
  EXPECT_EQ(Check({"log", "C:\\MAIL\\GEEN.LOG"}), CheckBadUsage);
  EXPECT_EQ(error, "tarvo-check: there is no file C:\\MAIL\\GEEN.LOG\n");
}

TEST_F(LogCommand, WritesTextOrJsonAndItsStatusFollowsTheFindings) {
  Run("/DEBUG");
  windows.AddFile("C:\\MAIL\\GOED.LOG", Log().value_or(""));
  EXPECT_EQ(Check({"log", "C:\\MAIL\\GOED.LOG"}), CheckClean) << out;
  EXPECT_EQ(out.substr(out.size() - 19), "\nNo problem found.\n");

  windows.AddFile("C:\\MAIL\\SEARCH.LOG", SearchLog());
  EXPECT_EQ(Check({"log", "C:\\MAIL\\SEARCH.LOG"}), CheckFoundFaults);
  EXPECT_EQ(out.rfind("C:\\MAIL\\SEARCH.LOG: a launcher log\n", 0), 0u) << out;
  EXPECT_NE(out.find("\n1. browser-unknown, lines "), std::string::npos) << out;
  EXPECT_NE(out.find("   advice: Stel C:\\Netscape\\netscape.exe in als standaardbrowser"),
            std::string::npos)
      << out;
  EXPECT_EQ(out.substr(out.size() - 12), "\n1 finding.\n");

  EXPECT_EQ(Check({"log", "--json", "C:\\MAIL\\SEARCH.LOG"}), CheckFoundFaults);
  EXPECT_EQ(out.rfind("{\"file\": \"C:\\\\MAIL\\\\SEARCH.LOG\", \"runs\": 1,\n \"log\": {\"lines\": ", 0), 0u)
      << out;
  EXPECT_NE(out.find("\"candidate\": [\"C:\\\\BROWSER\\\\BROWSER.EXE: ONB, score 0\", "),
            std::string::npos);
  EXPECT_NE(out.find("{\"code\": \"browser-unknown\", \"lines\": [{\"number\": "),
            std::string::npos);
  EXPECT_NE(out.find("\\u00E9\\u00E9n keer"), std::string::npos) << "één, as JSON's Unicode";
}


// --- mails and mailboxes ---

std::string Base64(const std::string& bytes) {
  const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  for (std::size_t at = 0; at < bytes.size(); at += 3) {
    unsigned bits = 0;
    for (std::size_t i = 0; i < 3; ++i) {
      bits = bits << 8 | (at + i < bytes.size() ? static_cast<unsigned char>(bytes[at + i]) : 0);
    }
    for (std::size_t i = 0; i < 4; ++i) {
      text += i <= bytes.size() - at ? digits[bits >> (18 - 6 * i) & 0x3F] : '=';
    }
    if (at % 57 == 54) text += "\r\n";
  }
  return text + "\r\n";
}

// As a mail program sends a text: lines of at most 76 characters, "=" at
// the end of each but the last where it broke one, "=XX" for each byte
// beyond ASCII and for "=".
std::string QuotedPrintable(const std::string& text) {
  std::string encoded;
  for (const std::string& line : TextLines(text)) {
    std::string out;
    for (const char c : line) {
      const auto byte = static_cast<unsigned char>(c);
      std::string piece(1, c);
      if (byte >= 0x80 || c == '=') piece = "=" + UpperHexDigits(byte, 2);
      if (out.size() + piece.size() > 75) {
        encoded += out + "=\r\n";
        out.clear();
      }
      out += piece;
    }
    encoded += out + "\r\n";
  }
  return encoded;
}

const char* const MailHeaders =
    "From: Jan Jansen <jan@example.nl>\r\nTo: helpdesk@lumora.nl\r\nSubject: cd-rom start niet\r\n"
    "MIME-Version: 1.0\r\n";

std::string MailWithAttachment(const std::string& log, const std::string& name) {
  return std::string(MailHeaders) +
         "Content-Type: multipart/mixed;\r\n\tboundary=\"----=_grens_1\"\r\n\r\n"
         "This is a multi-part message in MIME format.\r\n\r\n"
         "------=_grens_1\r\nContent-Type: multipart/alternative; boundary=\"alt\"\r\n\r\n"
         "--alt\r\nContent-Type: text/plain; charset=\"iso-8859-1\"\r\n\r\nZie de bijlage.\r\n"
         "--alt\r\nContent-Type: text/html\r\n\r\n<p>Zie de bijlage.</p>\r\n--alt--\r\n\r\n"
         "------=_grens_1\r\nContent-Type: application/octet-stream; name=\"" + name + "\"\r\n"
         "Content-Transfer-Encoding: base64\r\n"
         "Content-Disposition: attachment; filename=\"" + name + "\"\r\n\r\n" +
         Base64(log) + "\r\n------=_grens_1--\r\n";
}

std::string MailWithText(const std::string& log) {
  return std::string(MailHeaders) +
         "Content-Type: text/plain; charset=\"windows-1252\"\r\n"
         "Content-Transfer-Encoding: quoted-printable\r\n\r\n"
         "Beste helpdesk,\r\n\r\nHier is het logbestand:\r\n\r\n" + QuotedPrintable(log) +
         "\r\nGroeten,\r\nJan\r\n";
}

TEST(MailParts, GiveTheAttachedFilesThenTheTexts) {
  const std::string log = "100: StartDir = D:\\\r\nxxx GBIFN: (Kopi\xEBren INI file)\r\n";
  struct Row {
    const char* what;
    std::string message;
    std::vector<std::pair<std::string, std::string>> parts;  // name, bytes
  };
  const Row rows[] = {
      {"a text without headers", log, {{"", log}}},
      {"a plain mail", std::string(MailHeaders) + "\r\n" + log, {{"", log}}},
      {"quoted-printable, soft line breaks and all",
       std::string(MailHeaders) + "Content-Transfer-Encoding: Quoted-Printable\r\n\r\n"
           "100: StartDir =3D D:\\\r\nxxx GBIFN: (Kopi=EBren =\r\nINI file)  =  \r\n",
       {{"", "100: StartDir = D:\\\r\nxxx GBIFN: (Kopi\xEBren INI file)  "}}},
      {"an attachment beside a text and its HTML", MailWithAttachment(log, "LMRSTART.LOG"),
       {{"LMRSTART.LOG", log}, {"", "Zie de bijlage."}}},
      {"an attachment named in its type only",
       std::string(MailHeaders) +
           "Content-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\nContent-Type: text/plain; "
           "name=lmrstart.log\r\nContent-Transfer-Encoding: base64\r\n\r\n" + Base64(log) + "--b--\r\n",
       {{"lmrstart.log", log}}},
      {"an attachment named the RFC 2231 way",
       std::string(MailHeaders) +
           "Content-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\nContent-Disposition: "
           "attachment; filename*=iso-8859-1''log%20jan.txt\r\n\r\n" + log + "\r\n--b--\r\n",
       {{"log%20jan.txt", log}}},
      {"a multipart without its boundary",
       std::string(MailHeaders) + "Content-Type: multipart/mixed\r\n\r\n" + log, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    std::vector<std::pair<std::string, std::string>> parts;
    for (const MailPart& part : MailParts(row.message)) parts.emplace_back(part.name, part.bytes);
    EXPECT_EQ(parts, row.parts);
  }
}

TEST_F(LogCommand, ReadsAMailboxAtOnce) {
  windows.AddFile("C:\\MAIL\\jan\\LMRSTART.LOG", SearchLog());
  windows.AddFile("C:\\MAIL\\piet.txt", LogOfPath("NoBrowserForHtmlFiles"));
  windows.AddFile("C:\\MAIL\\klaas.eml", MailWithAttachment(LogOfPath("RegistryKeyDenied"), "LMRSTART.LOG"));
  windows.AddFile("C:\\MAIL\\sub\\marie.EML", MailWithText(*windows.FileContent("C:\\MAIL\\jan\\LMRSTART.LOG")));
  windows.AddFile("C:\\MAIL\\notes.txt", "Jan terugbellen.\r\n");
  windows.AddFile("C:\\MAIL\\foto.jpg", "\xFF\xD8\xFF");
  windows.AddFile("C:\\MAIL\\leeg.log", "");
  windows.AddFile("C:\\MAIL\\twee.log",
                  Replaced(LogOfPath("SupportedBrowser"), "401: (browser",
                           "Exception: boos\r\nException: boos\r\n401: (browser"));
  const std::string notALog = "is not a launcher log: none of its lines is one the launcher writes";

  EXPECT_EQ(Check({"log", "C:\\MAIL"}), CheckFoundFaults) << error;
  EXPECT_EQ(out,
            "C:\\MAIL\\jan\\LMRSTART.LOG: the browser started; browser-unknown\n"
            "C:\\MAIL\\klaas.eml: the browser started; registry-key-failed\n"
            "C:\\MAIL\\leeg.log: is empty\n"
            "C:\\MAIL\\notes.txt: " + notALog + "\n"
            "C:\\MAIL\\piet.txt: stopped: no browser; no-browser-registered\n"
            "C:\\MAIL\\sub\\marie.EML: the browser started; browser-unknown\n"
            "C:\\MAIL\\twee.log: the browser started; error-logged\n"
            "\n"
            "7 files: 5 logs, 2 files that are no log, 5 logs with findings.\n"
            "\n"
            "findings (logs with each):\n"
            "  browser-unknown: 2 logs\n"
            "  error-logged: 1 log\n"
            "  no-browser-registered: 1 log\n"
            "  registry-key-failed: 1 log\n"
            "\n"
            "browsers HTML files open in:\n"
            "  browser.exe 1.0 (ONB): 2 logs\n"
            "  browser.exe 5.0 (IE5): 2 logs\n"
            "\n"
            "outcomes:\n"
            "  the browser started: 4 logs\n"
            "  stopped: no browser: 1 log\n");
  EXPECT_EQ(error, "");

  EXPECT_EQ(Check({"log", "--json", "C:\\MAIL\\leeg.log", "C:\\MAIL\\piet.txt", "C:\\NERGENS"}),
            CheckFoundFaults);
  EXPECT_EQ(out.rfind("{\"logs\": [\n{\"file\": \"C:\\\\MAIL\\\\leeg.log\", \"problem\": \"is empty\"},\n"
                      "{\"file\": \"C:\\\\MAIL\\\\piet.txt\", \"runs\": 1,\n \"log\": {",
                      0),
            0u)
      << out;
  EXPECT_NE(out.find("},\n{\"file\": \"C:\\\\NERGENS\", \"problem\": \"there is no such file or folder\"}\n],\n"
                     " \"summary\": {\"files\": 3, \"logs\": 1, \"no_logs\": 2,\n"
                     "  \"findings\": {\"no-browser-registered\": 1},\n  \"browsers\": {},\n"
                     "  \"outcomes\": {\"stopped: no browser\": 1}}}\n"),
            std::string::npos)
      << out;

  // A file that is no log does not stop the rest; only none at all is bad.
  EXPECT_EQ(Check({"log", "C:\\MAIL\\notes.txt", "C:\\MAIL\\leeg.log"}), CheckBadUsage);
  EXPECT_EQ(error, "tarvo-check: none of the paths holds a launcher log\n");
  windows.AddFolder("C:\\LEEG");
  EXPECT_EQ(Check({"log", "C:\\LEEG"}), CheckBadUsage);
  EXPECT_EQ(out.substr(0, out.find('\n')), "C:\\LEEG: is a folder without .log, .txt or .eml files");
}

TEST_F(LogCommand, ReadsOneMailAsOneLog) {
  windows.AddFile("C:\\MAIL\\jan.eml", MailWithAttachment(LogOfPath("RegistryKeyDenied"), "LMRSTART.LOG"));
  windows.AddFile("C:\\MAIL\\marie.eml", MailWithText(LogOfPath("TemplateMissing")));
  windows.AddFile("C:\\MAIL\\geen.eml", std::string(MailHeaders) + "\r\nDe cd-rom start niet.\r\n");

  EXPECT_EQ(Check({"log", "C:\\MAIL\\jan.eml"}), CheckFoundFaults);
  EXPECT_EQ(out.rfind("C:\\MAIL\\jan.eml: a launcher log\n\nlog\n  taken from: the file "
                      "LMRSTART.LOG attached to it\n", 0),
            0u)
      << out;
  EXPECT_NE(out.find("\n1. registry-key-failed, lines "), std::string::npos) << out;

  // Pasted into the mail and sent quoted-printable: wrapped, with text
  // around it.
  EXPECT_EQ(Check({"log", "C:\\MAIL\\marie.eml"}), CheckFoundFaults);
  EXPECT_NE(out.find("  taken from: the text of the mail\n"), std::string::npos) << out;
  EXPECT_NE(out.find("\n1. template-unreadable, lines "), std::string::npos) << out;

  EXPECT_EQ(Check({"log", "C:\\MAIL\\geen.eml"}), CheckBadUsage);
  EXPECT_EQ(error, "tarvo-check: C:\\MAIL\\geen.eml is a mail with no launcher log in its text or "
                   "attached to it\n");
}

}  // namespace
}  // namespace tarvo
