// Whole runs of the launcher against the in-memory Windows.
#include <gtest/gtest.h>

#include <regex>

#include "app/browser_launch.h"
#include "app/last_resort.h"
#include "app/main_sequence.h"
#include "app/modules.h"
#include "app/tarvo32.h"
#include "log/log_file.h"
#include "platform/exceptions.h"
#include "program_run.h"

namespace tarvo {
namespace {

const char* const DebugReport =
    "In C:\\LMRSTART.LOG is een gedetailleerd rapport aangemaakt over de opstart "
    "procedure. Stuur deze naar helpdesk@lumora.nl voor verdere analyse. Alvast "
    "bedankt voor uw medewerking!";
const char* const ChecksReport =
    "In C:\\LMRSTART.LOG is een gedetailleerd rapport aangemaakt over de opstart "
    "procedure en de extra uitgevoerde controles. Als het probleem blijft bestaan, kunt u "
    "het beste diit bestand sturen naar helpdesk@lumora.nl voor verdere analyse. Alvast "
    "bedankt voor uw medewerking!";
const char* const NoBrowserMessage =
    "U heeft geen browser geïnstalleerd. Voor onze interface is een browser "
    "noodzakelijk! De meest recente versies van ondersteunde browsers vindt u op de "
    "cd-rom. Stuur een e-mail naar helpdesk@lumora.nl als u vermoed dat deze "
    "melding niet terecht is...";
const char* const SearchMessage =
    "De door u gebruikte browser is ons onbekend of wordt niet door ons ondersteund. We gaan "
    "nu de C-drive doorzoeken op een betere browser...";
const char* const FoundMessage =
    "We hebben een betere browser gevonden! Lees de help hoe u voortaan deze melding kunt "
    "voorkomen...";
const char* const NotFoundMessage =
    "Helaas, onze zoektocht leverde geen betere browser op! U krijgt zo dadelijk een melding "
    "wat u moet doen...";
const char* const LaunchFailedMessage =
    "De cd-rom kon helaas niet gestart worden. Open intface\\eenvoud\\overzich.htm in uw "
    "browser of volg de aanwijzing die zo dadelijk volgt...";
const char* const ProblemReport =
    "In C:\\LMRSTART.LOG is een gedetailleerd rapport aangemaakt over het gevonden "
    "opstartprobleem. Stuur deze naar helpdesk@lumora.nl voor een mogelijke oplossing.";
const char* const OldVersionMessage =
    "U gebruikt een oude versie van TARVO32.EXE om de cd-rom op te starten. Kopiëer "
    "TARVO32.EXE vanaf de cd-rom over deze versie heen en probeer het nog eens...";

std::string BlockSize(const VersionResource& resource) {
  return std::to_string(AnsiVersionBlock(resource).size());
}

// GetFileInfo's lines for a value found.
std::vector<std::string> VersionLines(const std::string& file, const std::string& type,
                                      const VersionResource& resource, const std::string& value) {
  return {"xxx GFI: FileName = " + file, "xxx GFI: InfoType = " + type,
          "xxx GFI: InfoSize = " + BlockSize(resource),
          "xxx GFI: TranslationTable = " + resource.tables.at(0).name,
          "xxx GFI: Waarde = " + value};
}

std::vector<std::string> Joined(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> lines;
  for (const auto& part : parts) lines.insert(lines.end(), part.begin(), part.end());
  return lines;
}

std::string CrLfLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::vector<std::string> WithHeader(std::vector<std::string> lines) {
  std::vector<std::string> log = {
      "Stuur de complete inhoud van deze logfile naar helpdesk@lumora.nl voor",
      "een mogelijke oplossing. Verander niets aan de inhoud!", "", "", std::string(67, '-')};
  log.insert(log.end(), lines.begin(), lines.end());
  return log;
}

// What the log holds from its line 100 up to the browser lookup.
std::vector<std::string> StartLines() {
  const VersionResource launcher = LauncherResource("1.52.0.0");
  return Joined({{"100: StartDir = D:\\", "101: Debug = TRUE"},
                 VersionLines("D:\\TARVO32.EXE", "FileVersion", launcher, "1.52.0.0"),
                 {"102: VersieIntern = 1.52.0.0"},
                 VersionLines("D:\\tarvo32.exe", "FileVersion", launcher, "1.52.0.0"),
                 {"103: VersieCD = 1.52.0.0", "104: (volumelabel = LUMORA)", ""}});
}

TEST_F(ProgramRun, InDebugModeStartsTheBrowserAndKeepsAndReportsTheLog) {
  EXPECT_EQ(Run("/debug"), 0);

  EXPECT_EQ(
      Log(),
      CrLfLines(WithHeader(Joined({
          StartLines(),
          {"200: HTMLFileName = D:\\intface\\hoofd.htm", "201: (FindExecutable = 42)",
           "202: BrowserStr = C:\\Browser\\browser.exe",
           "xxx GBN: FileName = C:\\BROWSER\\BROWSER.EXE"},
          VersionLines("C:\\BROWSER\\BROWSER.EXE", "ProductVersion", ProductVersion("5.0"), "5.0"),
          {"xxx GBN: Versie = 5.0",
           "xxx GBIFN: IniFileNameCD = D:\\intface\\browsers.ini",
           "xxx GBIFN: IniVersieCD = 1",
           "xxx GBIFN: Lengte = 10",
           "xxx GBIFN: IniFileNameWindows = C:\\WINDOWS\\BROWSERS.INI",
           "xxx GBIFN: IniVersieWindows = 0",
           "xxx GBIFN: (Kopiëren INI file)",
           "xxx GBN: BrowserIniFile = D:\\intface\\browsers.ini",
           "xxx GBN: BrowserCount = 1",
           "xxx GBN: (EExtern = Browser 5)",
           "xxx GBN: Browser = IE5",
           "",
           "300: (aanmaken sleutels in registry)",
           "",
           "400: (bureaublad is 800 bij 572 pixels)",
           "401: (browser wordt 660 bij 558 pixels)",
           "403: TempDir = C:\\WINDOWS\\TEMP\\",
           "404: (ConvertToBrowserDir = file:///d|/intface/hoofd.htm)",
           "405: FileName = C:\\WINDOWS\\TEMP\\lmrstart.htm",
           "406: (vervangen en aanmaken startpagina gelukt)",
           "407: BrowserPad = C:\\Browser\\browser.exe",
           "408: OpenHTMLdoc = C:\\WINDOWS\\TEMP\\lmrstart.htm",
           "",
           ""},
      }))));
  EXPECT_EQ(windows.FileContent("C:\\WINDOWS\\BROWSERS.INI"),
            windows.FileContent("D:\\intface\\browsers.ini"));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{DebugReport});
  ASSERT_EQ(windows.StartedProcesses().size(), 1u);
  const StartedProcess& browser = windows.StartedProcesses()[0];
  EXPECT_EQ(browser.commandLine, "C:\\Browser\\browser.exe C:\\WINDOWS\\TEMP\\lmrstart.htm");
  EXPECT_EQ(windows.FileContent("C:\\WINDOWS\\TEMP\\lmrstart.htm"),
            "file:///d|/intface/hoofd.htm\r\n");
  EXPECT_EQ(browser.creationFlags, NormalPriorityClass);
  EXPECT_EQ(browser.startup.flags, StartfUseShowWindow);
  EXPECT_EQ(browser.startup.showWindow, SwShowNormal);
}

TEST_F(ProgramRun, AnUnknownBrowserMakesTheLauncherSearchDriveCAndStartABetterOne) {
  AddBrowser(windows, Browser, "1.0");
  AddBrowser(windows, "C:\\Netscape\\netscape.exe", "4.7");
  EXPECT_EQ(Run("/DEBUG"), 0);

  EXPECT_EQ(LinesAfterLookup(), (std::vector<std::string>{
                                    "Melding: (onbekende of niet ondersteunde browser)",
                                    "Melding: (betere browser gevonden)",
                                    "",
                                    "300: (aanmaken sleutels in registry)",
                                    "",
                                    "400: (bureaublad is 800 bij 572 pixels)",
                                    "401: (browser wordt 642 bij 500 pixels)",
                                    "403: TempDir = C:\\WINDOWS\\TEMP\\",
                                    "404: (ConvertToBrowserDir = file:///d|/intface/frame.htm)",
                                    "405: FileName = C:\\WINDOWS\\TEMP\\lmrstart.htm",
                                    "406: (vervangen en aanmaken startpagina gelukt)",
                                    "407: BrowserPad = C:\\Netscape\\netscape.exe",
                                    "408: OpenHTMLdoc = C:\\WINDOWS\\TEMP\\lmrstart.htm",
                                    "",
                                    "",
                                }));
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{SearchMessage, FoundMessage, DebugReport}));
  ASSERT_EQ(windows.StartedProcesses().size(), 1u);
  EXPECT_EQ(windows.StartedProcesses()[0].commandLine,
            "C:\\Netscape\\netscape.exe C:\\WINDOWS\\TEMP\\lmrstart.htm");
  EXPECT_NE(Log().value_or("").find("Melding: (betere browser gevonden)\r\n"
                                    "xxx GBN: FileName = C:\\NETSCAPE\\NETSCAPE.EXE\r\n"),
            std::string::npos)
      << "identified after the line";

  // Without switches, finding a better browser is no problem.
  windows.DeleteFile("C:\\LMRSTART.LOG");
  EXPECT_EQ(Run(""), 0);
  EXPECT_FALSE(Log());
}

TEST_F(ProgramRun, WithoutABetterBrowserTheOldBrowsersPageCannotStartAndTheLogIsKept) {
  for (const char* version : {"1.0", "0.9"}) {  // unknown ("ONB"), not supported ("NA")
    windows.SetVersionResource(Browser, ProductVersion(version));
    const std::size_t boxesBefore = windows.Boxes().size();
    EXPECT_EQ(Run(""), 0);

    EXPECT_EQ(LinesAfterLookup(), (std::vector<std::string>{
                                      "Melding: (onbekende of niet ondersteunde browser)",
                                      "Melding: (helaas geen betere browser gevonden)",
                                      "",
                                      "300: (aanmaken sleutels in registry)",
                                      "",
                                      "407: BrowserPad = ",
                                      "408: OpenHTMLdoc = D:\\intface\\eenvoud\\oudebrow.htm",
                                      "Melding: (cd-rom kan niet gestart worden)",
                                      "",
                                      "",
                                  }))
        << version;
    EXPECT_EQ(BoxTexts(boxesBefore), (std::vector<std::string>{SearchMessage, NotFoundMessage,
                                                              LaunchFailedMessage, ProblemReport}))
        << version;
  }
  EXPECT_TRUE(windows.StartedProcesses().empty());
}

TEST_F(ProgramRun, AWindowWithoutTenPixelsToSpareGetsTheSimplePage) {
  // The browser's window is 660 by 558.
  const std::string generated = "408: OpenHTMLdoc = C:\\WINDOWS\\TEMP\\lmrstart.htm";
  const std::string simple = "408: OpenHTMLdoc = D:\\intface\\eenvoud\\bureau.htm";
  struct Case {
    std::optional<Rect> workArea;  // none: the screen cannot be asked
    std::string document;
  };
  const Case cases[] = {
      {Rect{0, 0, 670, 568}, generated}, {Rect{100, 50, 770, 618}, generated},
      {Rect{0, 0, 669, 568}, simple},    {Rect{0, 0, 670, 567}, simple},
      {Rect{0, 0, 640, 480}, simple},    {std::nullopt, simple},
  };
  for (const Case& c : cases) {
    if (c.workArea)
      windows.SetWorkArea(*c.workArea);
    else
      windows.FailScreenQueries();
    EXPECT_EQ(Run("/DEBUG"), 0);
    const std::vector<std::string> lines = LinesAfterLookup();
    const bool measured = std::find(lines.begin(), lines.end(),
                                    "401: (browser wordt 660 bij 558 pixels)") != lines.end();
    EXPECT_EQ(measured, c.workArea.has_value());
    EXPECT_NE(std::find(lines.begin(), lines.end(), c.document), lines.end()) << c.document;
  }
}

TEST_F(ProgramRun, ANewerLauncherOnTheDiscStopsTheRun) {
  windows.SetModuleFileName("C:\\Oud\\TARVO32.EXE");
  windows.AddFile("C:\\Oud\\TARVO32.EXE", "MZ");
  windows.SetVersionResource("C:\\Oud\\TARVO32.EXE", LauncherResource("1.52.0.0"));
  struct Case {
    const char* cdVersion;
    bool stops;
  };
  const Case cases[] = {
      {"1.53.0.0", true}, {"1.100.0.0", true}, {"1.9.0.0", false}, {"1.52.0.0", false}};
  for (const Case& c : cases) {
    windows.SetVersionResource("D:\\TARVO32.EXE", LauncherResource(c.cdVersion));
    const std::size_t boxesBefore = windows.Boxes().size();
    const std::size_t startsBefore = windows.StartedProcesses().size();
    EXPECT_EQ(Run("D:\\ /DEBUG"), 0);

    const std::string log = Log().value_or("");
    const std::string stop = std::string("103: VersieCD = ") + c.cdVersion +
                             "\r\nMelding: (oude versie van TARVO32.EXE)\r\n\r\n\r\n";
    const bool endsWithStop =
        log.size() >= stop.size() && log.compare(log.size() - stop.size(), stop.size(), stop) == 0;
    EXPECT_EQ(endsWithStop, c.stops) << c.cdVersion;
    const std::vector<std::string> expectedBoxes =
        c.stops ? std::vector<std::string>{OldVersionMessage, DebugReport}
                : std::vector<std::string>{DebugReport};
    EXPECT_EQ(BoxTexts(boxesBefore), expectedBoxes) << c.cdVersion;
    EXPECT_EQ(windows.StartedProcesses().size() - startsBefore, c.stops ? 0u : 1u) << c.cdVersion;
  }
}

TEST_F(ProgramRun, WithChecksTheRepairedAssociationIsWhatTheLookupFinds) {
  // HTML files open in a browser the catalogue does not know; Navigator is
  // on C: as well, and the only preferred browser there.
  AddBrowser(windows, Browser, "1.0");
  AddBrowser(windows, "C:\\Netscape\\netscape.exe", "4.7");
  windows.AddLibrary("C:\\WINDOWS\\SYSTEM32\\shdocvw.dll",
                     {{"DllRegisterServer", [] { return 0; }}});
  EXPECT_EQ(Run("/CHECKS"), 0);

  std::vector<std::string> lines;
  std::string log = Log().value_or("");
  EXPECT_NE(log.find("104: (volumelabel = LUMORA)\r\n\r\nC00: "), std::string::npos);
  for (std::size_t end; (end = log.find("\r\n")) != std::string::npos; log.erase(0, end + 2)) {
    const std::string line = log.substr(0, end);
    if (line.rfind("C0", 0) == 0 || line.rfind("xxx RHTM", 0) == 0 ||
        line.rfind("xxx RAL: (", 0) == 0 || line.rfind("20", 0) == 0 ||
        line.rfind("Melding", 0) == 0 || line.rfind("xxx GBN: Browser =", 0) == 0) {
      lines.push_back(line);
    }
  }
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "C00: (start uitvoeren alle ingebouwde checks)",
                       "xxx RAL: (bestand niet aanwezig)",
                       "xxx RAL: (registratie is gelukt!)",
                       "C01: (SolveScriptErrorIE uitgevoerd)",
                       "xxx GBN: Browser = ONB",
                       "xxx GBN: Browser = NN4",
                       "xxx RHTM: (registreren C:\\Netscape\\netscape.exe)",
                       "xxx RHTM: (registreren browser uitgevoerd)",
                       "C02: (RegistreerHTM uitgevoerd)",
                       "200: HTMLFileName = D:\\intface\\hoofd.htm",
                       "201: (FindExecutable = 42)",
                       "202: BrowserStr = C:\\Netscape\\netscape.exe",
                       "xxx GBN: Browser = NN4",
                   }));
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{ChecksReport}));
  ASSERT_EQ(windows.StartedProcesses().size(), 1u);
  EXPECT_EQ(windows.StartedProcesses()[0].commandLine,
            "C:\\Netscape\\netscape.exe C:\\WINDOWS\\TEMP\\lmrstart.htm");
  for (const std::string& request : windows.LibraryRequests()) {
    EXPECT_EQ(request.rfind("C:\\WINDOWS\\SYSTEM32\\", 0), 0u) << request;
  }
}

TEST_F(ProgramRun, RegistersWhatTheBrowsersCodeAsksFor) {
  const std::string navigator = "Software\\Netscape\\Netscape Navigator\\";
  struct Case {
    const char* code;
    bool editFlags;
    bool netscape3;
    bool trusted;
  };
  const Case cases[] = {
      {"IE5", true, false, false}, {"XIE", true, false, false},  {"NN3", false, true, true},
      {"NN4", false, false, true}, {"NN5", false, false, false},
  };
  for (const Case& c : cases) {
    WindowsModel fresh;
    InstallApi(fresh);
    fresh.AddFile("D:\\intface\\hoofd.htm");
    fresh.AddFile("D:\\intface\\template.htm");
    fresh.AddFile("D:\\intface\\browsers.ini",
                  Catalogue({{"BROWSER", "", c.code, "Browser"}},
                            "[Browservolgorde]\r\nVoorkeur=" + std::string(c.code) + "\r\n"));
    AddBrowser(fresh, Browser, "5.0");
    fresh.AssociateExtension(".htm", std::string("\"") + Browser + "\" \"%1\"");
    fresh.SetCommandLine("D:\\TARVO32.EXE");
    EXPECT_EQ(RunTarvo32(), 0) << c.code;
    EXPECT_EQ(fresh.RegistryChanges().at(0), "HKCR\\.lmr") << c.code << ": the run file first";
    EXPECT_TRUE(fresh.RegistryValueOf(HkeyClassesRoot, ".lmr", "")) << c.code;
    EXPECT_EQ(fresh.RegistryValueOf(HkeyClassesRoot, "Lumora.runfile", "EditFlags").has_value(),
              c.editFlags)
        << c.code;
    EXPECT_EQ(fresh.RegistryKeyExists(HkeyCurrentUser, navigator + "Viewers"), c.netscape3)
        << c.code;
    EXPECT_EQ(
        fresh.RegistryKeyExists(HkeyCurrentUser, navigator + "User Trusted External Applications"),
        c.trusted)
        << c.code;
    EXPECT_FALSE(fresh.FileContent("C:\\LMRSTART.LOG")) << c.code << ": no problem, no log";
  }
}

TEST_F(ProgramRun, WithoutSwitchesOrProblemsLeavesNoTraceButTheBrowser) {
  windows.AddFile("C:\\LMRSTART.LOG", "earlier run");
  EXPECT_EQ(Run(""), 0);
  EXPECT_EQ(Log(), "earlier run");
  EXPECT_TRUE(windows.Boxes().empty());
  EXPECT_EQ(windows.StartedProcesses().size(), 1u);
}

TEST_F(ProgramRun, StopsWhenTheDefaultBrowserCannotBeUsed) {
  struct Case {
    const char* what;
    std::function<void(WindowsModel&)> arrange;
    std::vector<std::string> linesAfter201;
    std::string message;
  };
  const Case cases[] = {
      {"start directory without the main page",
       [](WindowsModel& w) { w.SetCommandLine("D:\\TARVO32.EXE /DEBUG E:\\"); },
       {"Melding: (ongeldige directory via commandline)"},
       "De startdirectory die u via de commandline heeft opgegeven bestaat niet!"},
      {"start directory longer than any path",
       [](WindowsModel& w) {
         w.SetCommandLine("D:\\TARVO32.EXE /DEBUG D:\\" + std::string(4997, 'd'));
       },
       {"Melding: (ongeldige directory via commandline)"},
       "De startdirectory die u via de commandline heeft opgegeven bestaat niet!"},
      {"associated browser deleted",
       [](WindowsModel& w) { w.AssociateExtension(".htm", "C:\\Gone\\gone.exe %1"); },
       {"202: BrowserStr = C:\\Gone\\gone.exe", "203: Executable niet gevonden!",
        "Melding: (geen browser geïnstalleerd)"},
       NoBrowserMessage},
      {"no association",
       [](WindowsModel&) {},
       {"Melding: (geen browser geïnstalleerd)"},
       NoBrowserMessage},
  };
  for (const Case& c : cases) {
    WindowsModel fresh;
    InstallApi(fresh);
    fresh.SetCommandLine("D:\\TARVO32.EXE /DEBUG");
    fresh.AddFile("D:\\intface\\hoofd.htm");
    c.arrange(fresh);

    EXPECT_EQ(RunTarvo32(), 0) << c.what;

    const std::string log = fresh.FileContent("C:\\LMRSTART.LOG").value_or("");
    const auto after201 = log.find("\r\n", log.find("201: (FindExecutable = ")) + 2;
    std::vector<std::string> expected = c.linesAfter201;
    expected.insert(expected.end(), {"", ""});
    EXPECT_EQ(log.substr(after201), CrLfLines(expected)) << c.what;
    ASSERT_EQ(fresh.Boxes().size(), 2u) << c.what;
    EXPECT_EQ(fresh.Boxes()[0].text, c.message) << c.what;
    EXPECT_EQ(fresh.Boxes()[1].text, DebugReport) << c.what;
    EXPECT_TRUE(fresh.StartedProcesses().empty()) << c.what;
  }
}

TEST_F(ProgramRun, AStopWithoutSwitchesIsNoProblemForTheLog) {
  windows.AssociateExtension(".htm", "C:\\Gone\\gone.exe %1");
  EXPECT_EQ(Run(""), 0);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{NoBrowserMessage});
  EXPECT_FALSE(Log());
}

TEST_F(ProgramRun, WithBothSwitchesReportsDebugFirstThenChecks) {
  EXPECT_EQ(Run("/CHECKS /DEBUG"), 0);
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{DebugReport, ChecksReport}));
}

TEST_F(ProgramRun, TakesTheStartDirectoryFromItsOwnPathNotFromWordZero) {
  // As a reader starts it from a prompt in the disc's root.
  windows.SetModuleFileName("D:\\TARVO32.EXE");
  windows.SetCommandLine("tarvo32 /DEBUG");
  EXPECT_EQ(RunTarvo32(), 0);
  EXPECT_NE(Log().value_or("").find("\r\n100: StartDir = D:\\\r\n"), std::string::npos);
  EXPECT_EQ(windows.StartedProcesses().size(), 1u);
}

TEST_F(ProgramRun, AcceptsABrowserWhoseTimeFitsNoDosDate) {
  constexpr std::uint64_t before1980 = 119600063990000000;
  windows.AddFile(Browser, "MZ", FileAttributeArchive, before1980);
  windows.SetVersionResource(Browser, ProductVersion("5.0"));
  EXPECT_EQ(Run(""), 0);
  EXPECT_TRUE(windows.Boxes().empty());
  EXPECT_EQ(windows.StartedProcesses().size(), 1u);
}

TEST_F(ProgramRun, AnEscapedErrorIsReportedBeforeTheClosingStepsAndEndsWithCode1) {
  windows.OnFindExecutable([] { throw EWriteError(); });
  EXPECT_EQ(Run("/DEBUG"), 1);

  ASSERT_EQ(windows.Boxes().size(), 2u);
  const ShownBox& error = windows.Boxes()[0];
  EXPECT_EQ(error.caption, "Application Error");
  EXPECT_EQ(error.filesThen.count("C:\\LMRSTART.LOG"), 0u) << "closing steps ran before the box";
  EXPECT_EQ(windows.Boxes()[1].text, DebugReport);
  EXPECT_NE(Log().value_or("").find("200: HTMLFileName = D:\\intface\\hoofd.htm\r\n\r\n\r\n"),
            std::string::npos);
  EXPECT_TRUE(windows.StartedProcesses().empty());
}

TEST_F(ProgramRun, ModuleStepsRunOnceHoweverOftenTheyAreCalled) {
  windows.SetCommandLine("D:\\TARVO32.EXE /DEBUG");
  StartModules();
  LogFile->AddLine("merkteken", false);
  StartModules();  // must neither make a new log nor write the header again
  CloseModules();  // the second start's counterpart: nothing closes yet
  EXPECT_FALSE(Log());
  EXPECT_NE(LogFile, nullptr);
  CloseModules();
  EXPECT_EQ(Log(), CrLfLines(WithHeader({"merkteken", "", ""})));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{DebugReport});
}

TEST_F(ProgramRun, AFailedLaunchIsAProblemReportedAfterItsMessage) {
  windows.FailProcessStarts();
  EXPECT_EQ(Run(""), 0);
  EXPECT_EQ(BoxTexts(),
            (std::vector<std::string>{"De cd-rom kon helaas niet gestart worden. Open "
                                      "intface\\eenvoud\\overzich.htm in uw browser of volg de "
                                      "aanwijzing die zo dadelijk volgt...",
                                      "In C:\\LMRSTART.LOG is een gedetailleerd rapport aangemaakt "
                                      "over het gevonden opstartprobleem. Stuur deze naar "
                                      "helpdesk@lumora.nl voor een mogelijke oplossing."}));
  EXPECT_NE(Log().value_or("").find("408: OpenHTMLdoc = C:\\WINDOWS\\TEMP\\lmrstart.htm\r\n"
                                    "Melding: (cd-rom kan niet gestart worden)\r\n\r\n\r\n"),
            std::string::npos);
}

TEST_F(ProgramRun, QuotesPathsWithBlanksForTheBrowser) {
  const std::string browser = "C:\\Program Files\\Web\\browser.exe";
  AddBrowser(windows, browser, "5.0");
  windows.AddFile("C:\\MIJN CD\\intface\\hoofd.htm");
  windows.AddFile("C:\\MIJN CD\\intface\\template.htm");
  windows.AddFile("C:\\MIJN CD\\intface\\browsers.ini",
                  *windows.FileContent("D:\\intface\\browsers.ini"));
  windows.AddFolder("C:\\Mijn Temp");
  windows.SetTempPath("C:\\Mijn Temp");
  windows.AssociateExtension(".htm", "\"" + browser + "\" \"%1\"");
  EXPECT_EQ(Run("\"c:\\mijn cd\\\""), 0);
  ASSERT_EQ(windows.StartedProcesses().size(), 1u);
  EXPECT_EQ(windows.StartedProcesses()[0].commandLine,
            "\"C:\\Program Files\\Web\\browser.exe\" \"C:\\MIJN TEMP\\lmrstart.htm\"");
}

TEST_F(ProgramRun, WithoutABrowserTheLaunchFailsWithoutStartingTheDocument) {
  LogFile = TLogFile::Create();
  BrowserPad.clear();
  OpenHTMLdoc = "D:\\intface\\eenvoud\\oudebrow.htm";

  LaunchBrowser();

  EXPECT_EQ(windows.CreateProcessCalls(), 0u);
  EXPECT_FALSE(LogFile->Delete()) << "a failed launch is a problem";
  EXPECT_EQ(windows.Boxes().size(), 1u);
  LogFile.reset();
}

TEST(BrowserCommandLine, QuotesEachPartThatHoldsABlank) {
  struct Case {
    const char* browser;
    const char* document;
    const char* commandLine;
  };
  const Case cases[] = {
      {"C:\\B\\b.exe", "D:\\x.htm", "C:\\B\\b.exe D:\\x.htm"},
      {"C:\\Program Files\\b.exe", "D:\\x.htm", "\"C:\\Program Files\\b.exe\" D:\\x.htm"},
      {"C:\\B\\b.exe", "E:\\MIJN CD\\", "C:\\B\\b.exe \"E:\\MIJN CD\\\\\""},
      {"C:\\B\\b.exe", "E:\\MIJN CD\\\\", "C:\\B\\b.exe \"E:\\MIJN CD\\\\\\\\\""},
      {"C:\\A B\\b.exe", "C:\\TEMP DIR\\lmrstart.htm",
       "\"C:\\A B\\b.exe\" \"C:\\TEMP DIR\\lmrstart.htm\""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BrowserCommandLine(c.browser, c.document), c.commandLine) << c.browser;
  }
}

TEST(LastResortText, NamesClassModuleAddressAndMessage) {
  const void* address = reinterpret_cast<const void*>(std::uintptr_t{0x0040AB1C});
  const std::string at = sizeof(void*) == 8 ? "000000000040AB1C" : "0040AB1C";
  struct Case {
    const char* message;
    const char* text;
  };
  const Case cases[] = {
      {"TLogFile: save error", "TLogFile: save error."},
      {"Stream write error.", "Stream write error."},
      {"Fout!", "Fout!"},
      {"Fout in café", "Fout in café."},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LastResortText("ELogFile", "tarvo32.exe", address, c.message),
              "Exception ELogFile in module tarvo32.exe at " + at + ".\n" + c.text)
        << c.message;
  }
}

TEST_F(ProgramRun, AStructuredErrorIsReportedWithItsCodeAndTheRunClosed) {
  windows.SetCommandLine("D:\\TARVO32.EXE /DEBUG");
  StartModules();
  const void* address = reinterpret_cast<const void*>(std::uintptr_t{0x1234ABCD});
  EXPECT_EQ(EndAfterError(StructuredError(0xC0000005, address)), 1);

  ASSERT_EQ(windows.Boxes().size(), 2u);
  const std::string at = sizeof(void*) == 8 ? "000000001234ABCD" : "1234ABCD";
  EXPECT_EQ(windows.Boxes()[0].caption, "Application Error");
  EXPECT_EQ(windows.Boxes()[0].text, "Exception EExternalException in module TARVO32.EXE at " + at +
                                         ".\nExternal exception C0000005.");
  EXPECT_EQ(windows.Boxes()[1].text, DebugReport);
  EXPECT_EQ(Log(), CrLfLines(WithHeader({"", ""})));
}

template <typename Tag>
struct Tagged : std::exception {};

TEST(RunGuarded, NamesOtherErrorsByTheirClassAsCppWritesIt) {
  struct Case {
    std::function<void()> raise;
    std::string className;
  };
  const Case cases[] = {
      {[] { throw std::bad_alloc(); }, "std::bad_alloc"},
      {[] { throw std::out_of_range("bereik"); }, "std::out_of_range"},
      {[] { throw std::ios_base::failure("stroom"); }, "std::ios_base::failure[abi:cxx11]"},
      {[] { throw std::regex_error(std::regex_constants::error_paren); }, "std::regex_error"},
      // A template's arguments are not read: the name stays as the compiler made it.
      {[] { throw Tagged<int>(); }, typeid(Tagged<int>).name()},
  };
  for (const Case& c : cases) {
    const auto error = RunGuarded(c.raise);
    ASSERT_TRUE(error) << c.className;
    EXPECT_EQ(error->className, c.className);
  }
}

TEST(TerminationError, NamesTheExceptionBeingHandledOrTheRuntimesOwnWords) {
  struct Case {
    std::function<void()> raise;  // none: no exception is being handled
    std::string className;
    std::string message;
  };
  const Case cases[] = {
      {[] { throw EWriteError(); }, "EWriteError", "Stream write error"},
      {[] { throw std::bad_alloc(); }, "std::bad_alloc", "std::bad_alloc"},
      {[] { throw 42; }, "Exception", ""},
      {nullptr, "std::terminate", "terminate called without an active exception"},
  };
  for (const Case& c : cases) {
    ErrorDescription error;
    if (c.raise) {
      try {
        c.raise();
      } catch (...) {
        error = TerminationError();
      }
    } else {
      error = TerminationError();
    }
    EXPECT_EQ(error.className, c.className);
    EXPECT_EQ(error.message, c.message);
  }
}

TEST_F(ProgramRun, TheLastResortReportDescribesTheError) {
  const auto error = RunGuarded([] { throw EWriteError(); });
  ASSERT_TRUE(error);
  ShowLastResortReport(*error);
  ASSERT_EQ(windows.Boxes().size(), 1u);
  EXPECT_EQ(windows.Boxes()[0].caption, "Application Error");
  EXPECT_EQ(windows.Boxes()[0].icon, MessageBoxIcon::Error);
  const std::string address = "[0-9A-F]{" + std::to_string(2 * sizeof(void*)) + "}";
  EXPECT_TRUE(
      std::regex_match(windows.Boxes()[0].text,
                       std::regex("Exception EWriteError in module TARVO32\\.EXE at " + address +
                                  "\\.\n"
                                  "Stream write error\\.")));
}

}  // namespace
}  // namespace tarvo
