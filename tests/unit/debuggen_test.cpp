#include "log/debuggen.h"

#include <gtest/gtest.h>

#include "log/command_line.h"
#include "log/log_file.h"
#include "support/model_test.h"

namespace tarvo {
namespace {

using Words = std::vector<std::string>;

TEST(SplitCommandLine, FollowsTheProgramsOwnWordRules) {
  const std::string longWord(5000, 'x');
  struct Case {
    std::string line;
    Words words;
  };
  const Case cases[] = {
      {"", {}},
      {"   ", {}},
      {"D:\\TARVO32.EXE", {"D:\\TARVO32.EXE"}},
      {"prog  /debug\tE:\\cd", {"prog", "/debug", "E:\\cd"}},
      {"prog\x01/a\x1F/b", {"prog", "/a", "/b"}},
      {"\"C:\\Program Files\\t.exe\" \"E:\\MIJN CD\\\"",
       {"C:\\Program Files\\t.exe", "E:\\MIJN CD\\"}},
      {"prog a\"b c\"d", {"prog", "ab cd"}},
      {"prog \"open end", {"prog", "open end"}},
      {"prog é\xA0x", {"prog", "é\xA0x"}},
      {"prog " + longWord, {"prog", longWord.substr(0, 4096)}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.words) << c.line;
}

TEST(ReadStartOptions, ReadsSwitchesAndTheStartDirectory) {
  struct Case {
    Words arguments;
    bool debug;
    bool extraChecks;
    std::string startDir;
  };
  const std::string program = "E:\\Cd\\tarvo32.exe";
  const Case cases[] = {
      {{}, false, false, "E:\\CD\\"},
      {{"/debug", "E:\\cd"}, true, false, "E:\\CD\\"},
      {{"/Checks"}, false, true, "E:\\CD\\"},
      {{"/DEBUG", "/CHECKS"}, true, true, "E:\\CD\\"},
      {{"/DEBUGGER", "-debug", "/CHECK"}, false, false, "E:\\CD\\"},
      {{"F:"}, false, false, "F:\\"},
      {{"D:", "E:\\"}, false, false, "E:\\"},
      {{"http://www.lumora.nl"}, false, false, "E:\\CD\\"},
      {{":x"}, false, false, "E:\\CD\\"},
      {{"c:\\program files\\één cd"}, false, false, "C:\\PROGRAM FILES\\ééN CD\\"},
  };
  for (const Case& c : cases) {
    const StartOptions options = ReadStartOptions(c.arguments, program);
    EXPECT_EQ(options.debug, c.debug) << ::testing::PrintToString(c.arguments);
    EXPECT_EQ(options.extraChecks, c.extraChecks) << ::testing::PrintToString(c.arguments);
    EXPECT_EQ(options.startDir, c.startDir) << ::testing::PrintToString(c.arguments);
  }
}

TEST(ReadStartOptions, TakesTheProgramsFolderAtTheDriveRoot) {
  EXPECT_EQ(ReadStartOptions({}, "e:\\tarvo32.exe").startDir, "E:\\");
}

TEST(ClosingReports, NameTheLogForTheModeOfTheRun) {
  const std::string debugReport =
      "In C:\\LMRSTART.LOG is een gedetailleerd rapport aangemaakt over de opstart "
      "procedure. Stuur deze naar helpdesk@lumora.nl voor verdere analyse. Alvast "
      "bedankt voor uw medewerking!";
  const std::string checksReport =
      "In C:\\LMRSTART.LOG is een gedetailleerd rapport aangemaakt over de opstart "
      "procedure en de extra uitgevoerde controles. Als het probleem blijft bestaan, "
      "kunt u het beste diit bestand sturen naar helpdesk@lumora.nl voor verdere "
      "analyse. Alvast bedankt voor uw medewerking!";
  const std::string problemReport =
      "In C:\\LMRSTART.LOG is een gedetailleerd rapport aangemaakt over het gevonden "
      "opstartprobleem. Stuur deze naar helpdesk@lumora.nl voor een mogelijke oplossing.";
  struct Case {
    bool debug;
    bool extraChecks;
    Words reports;
  };
  const Case cases[] = {
      {true, false, {debugReport}},
      {false, true, {checksReport}},
      {true, true, {debugReport, checksReport}},
      {false, false, {problemReport}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ClosingReports(c.debug, c.extraChecks, "C:\\LMRSTART.LOG"), c.reports)
        << c.debug << c.extraChecks;
  }
}

class DebuggenClosingStep : public ModelTest {
 protected:
  void OpenLog(bool debug) {
    Debug = debug;
    ExtraChecks = false;
    LogFile = TLogFile::Create();
    LogFile->SetFileName("C:\\LMRSTART.LOG");
    LogFile->SetDelete(!debug);
  }
};

TEST_F(DebuggenClosingStep, WritesTheLogBeforeTheReportThatNamesIt) {
  OpenLog(true);
  LogFile->AddLine("100: StartDir = D:\\", false);
  DebuggenClose();
  EXPECT_EQ(windows.FileContent("C:\\LMRSTART.LOG"), "100: StartDir = D:\\\r\n\r\n\r\n");
  ASSERT_EQ(windows.Boxes().size(), 1u);
  const ShownBox& report = windows.Boxes()[0];
  EXPECT_EQ(report.caption, "Tarvo32");
  EXPECT_EQ(report.text, ClosingReports(true, false, "C:\\LMRSTART.LOG").front());
  EXPECT_EQ(report.filesThen.count("C:\\LMRSTART.LOG"), 1u) << "the report named a missing file";
  EXPECT_EQ(LogFile, nullptr);
}

TEST_F(DebuggenClosingStep, ShowsNoReportWhenTheLogCannotBeWritten) {
  windows.AddFile("C:\\LMRSTART.LOG", "old", FileAttributeReadOnly);
  OpenLog(true);
  EXPECT_THROW(DebuggenClose(), ELogFile);
  EXPECT_TRUE(windows.Boxes().empty());
  EXPECT_EQ(windows.FileContent("C:\\LMRSTART.LOG"), "old");
  EXPECT_EQ(LogFile, nullptr);
}

TEST_F(DebuggenClosingStep, DiscardsAnUntroubledLogSilently) {
  OpenLog(false);
  DebuggenClose();
  EXPECT_FALSE(windows.FileContent("C:\\LMRSTART.LOG"));
  EXPECT_TRUE(windows.Boxes().empty());
}

TEST_F(DebuggenClosingStep, LeavesALogThatWasNeverMadeAlone) {
  LogFile.reset();
  Debug = true;
  DebuggenClose();
  EXPECT_TRUE(windows.Boxes().empty());
  EXPECT_FALSE(windows.FileContent("C:\\LMRSTART.LOG"));
}

}  // namespace
}  // namespace tarvo
