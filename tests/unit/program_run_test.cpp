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
#include "support/model_test.h"

namespace tarvo {
namespace {

const char* const Browser = "C:\\Browser\\browser.exe";
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

class ProgramRun : public ModelTest {
 protected:
  ProgramRun() {
    windows.AddFile("D:\\intface\\hoofd.htm", "<html></html>");
    windows.AddFile(Browser, "MZ");
    windows.AssociateExtension(".htm", std::string("\"") + Browser + "\" \"%1\"");
  }

  int Run(const std::string& arguments) {
    windows.SetCommandLine("D:\\TARVO32.EXE " + arguments);
    const int exitCode = RunTarvo32();
    EXPECT_EQ(windows.OpenHandleCount(), 0u);
    return exitCode;
  }

  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const ShownBox& box : windows.Boxes()) texts.push_back(box.text);
    return texts;
  }

  std::optional<std::string> Log() const { return windows.FileContent("C:\\LMRSTART.LOG"); }
};

TEST_F(ProgramRun, InDebugModeStartsTheBrowserAndKeepsAndReportsTheLog) {
  EXPECT_EQ(Run("/debug"), 0);

  EXPECT_EQ(Log(), CrLfLines(WithHeader({
                       "100: StartDir = D:\\",
                       "101: Debug = TRUE",
                       "",
                       "200: HTMLFileName = D:\\intface\\hoofd.htm",
                       "201: (FindExecutable = 42)",
                       "202: BrowserStr = C:\\Browser\\browser.exe",
                       "407: BrowserPad = C:\\Browser\\browser.exe",
                       "408: OpenHTMLdoc = D:\\intface\\hoofd.htm",
                       "",
                       "",
                   })));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{DebugReport});
  ASSERT_EQ(windows.StartedProcesses().size(), 1u);
  const StartedProcess& browser = windows.StartedProcesses()[0];
  EXPECT_EQ(browser.commandLine, "C:\\Browser\\browser.exe D:\\intface\\hoofd.htm");
  EXPECT_EQ(browser.creationFlags, NormalPriorityClass);
  EXPECT_EQ(browser.startup.flags, StartfUseShowWindow);
  EXPECT_EQ(browser.startup.showWindow, SwShowNormal);
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
  EXPECT_NE(Log().value_or("").find("408: OpenHTMLdoc = D:\\intface\\hoofd.htm\r\n"
                                    "Melding: (cd-rom kan niet gestart worden)\r\n\r\n\r\n"),
            std::string::npos);
}

TEST_F(ProgramRun, QuotesPathsWithBlanksForTheBrowser) {
  const std::string browser = "C:\\Program Files\\Web\\browser.exe";
  windows.AddFile(browser, "MZ");
  windows.AddFile("C:\\MIJN CD\\intface\\hoofd.htm");
  windows.AssociateExtension(".htm", "\"" + browser + "\" \"%1\"");
  EXPECT_EQ(Run("\"c:\\mijn cd\\\""), 0);
  ASSERT_EQ(windows.StartedProcesses().size(), 1u);
  EXPECT_EQ(windows.StartedProcesses()[0].commandLine,
            "\"C:\\Program Files\\Web\\browser.exe\" \"C:\\MIJN CD\\intface\\hoofd.htm\"");
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
