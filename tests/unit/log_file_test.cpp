#include "log/log_file.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <stdexcept>

#include "platform/run_control.h"
#include "support/expect_error.h"
#include "support/model_test.h"

namespace tarvo {
namespace {

class LogFileTest : public ModelTest {
 protected:
  std::unique_ptr<TLogFile> log = TLogFile::Create();
};

struct RecordingLabel : LabelSink {
  void SetText(const std::string& text) override { this->text = text; }
  std::string text;
};

struct RecordingMemo : MemoSink {
  void AppendLine(const std::string& line) override { lines.push_back(line); }
  std::vector<std::string> lines;
};

struct FailingMemo : MemoSink {
  void AppendLine(const std::string&) override { throw std::runtime_error("full"); }
};

// A display whose update ends the run, as a box shown from it could.
struct StoppingLabel : LabelSink {
  void SetText(const std::string&) override { throw RunEnded{0}; }
};

TEST_F(LogFileTest, FileNameIsKeptInAsciiUpperCaseAndNeverEmpty) {
  EXPECT_EQ(log->FileName(), "C:\\ZOLTTEST.LOG");
  log->SetFileName("c:\\temp\\één.log");
  EXPECT_EQ(log->FileName(), "C:\\TEMP\\ééN.LOG");
  log->SetFileName("");
  EXPECT_EQ(log->FileName(), "C:\\TEMP\\ééN.LOG");
}

TEST_F(LogFileTest, OnlyAProblemLineOrAClearedDeleteFlagKeepsTheLog) {
  struct Case {
    const char* what;
    std::vector<bool> problems;  // one line per entry
    std::optional<bool> deleteAfterwards;
    bool kept;
  };
  const Case cases[] = {
      {"fresh log", {}, std::nullopt, false},
      {"ordinary lines", {false, false}, std::nullopt, false},
      {"a problem, then ordinary lines", {false, true, false}, std::nullopt, true},
      {"a problem, then Delete set", {true}, true, false},
      {"Delete cleared, no lines", {}, false, true},
  };
  for (const Case& c : cases) {
    auto subject = TLogFile::Create();
    for (bool problem : c.problems) subject->AddLine("line", problem);
    if (c.deleteAfterwards) subject->SetDelete(*c.deleteAfterwards);
    EXPECT_EQ(subject->Delete(), !c.kept) << c.what;
  }
}

TEST_F(LogFileTest, AKeptLogIsWrittenWithCrLfAfterEveryLine) {
  log->SetFileName("C:\\LMRSTART.LOG");
  log->AddLine("eerste", false);
  log->AddLine("", false);
  log->AddLine("Kopiëren", true);
  log->SaveIfKept();
  EXPECT_EQ(windows.FileContent("C:\\LMRSTART.LOG"), "eerste\r\n\r\nKopi\xEBren\r\n");
  EXPECT_EQ(windows.OpenHandleCount(), 0u);
}

TEST_F(LogFileTest, AnEmptyKeptLogGivesAnEmptyFile) {
  windows.AddFile("C:\\ZOLTTEST.LOG", "earlier run");
  log->SetDelete(false);
  log->SaveIfKept();
  EXPECT_EQ(windows.FileContent("C:\\ZOLTTEST.LOG"), "");
}

TEST_F(LogFileTest, ADiscardedLogLeavesAnEarlierFileAlone) {
  windows.AddFile("C:\\ZOLTTEST.LOG", "earlier run");
  log->AddLine("line", false);
  log->SaveIfKept();
  EXPECT_EQ(windows.FileContent("C:\\ZOLTTEST.LOG"), "earlier run");
}

TEST_F(LogFileTest, EveryLineReachesTheLabelAndTheMemo) {
  RecordingLabel label;
  RecordingMemo memo;
  log->SetMessageLabel(&label);
  log->SetMessageMemo(&memo);
  log->AddLine("een", false);
  log->AddLine("twee", false);
  EXPECT_EQ(label.text, "twee");
  EXPECT_EQ(memo.lines, (std::vector<std::string>{"een", "twee"}));
}

TEST_F(LogFileTest, AFailingDisplayLosesTheLineAsAWriteError) {
  FailingMemo memo;
  log->SetMessageMemo(&memo);
  ExpectError([&] { log->AddLine("verloren", true); }, "ELogFile", "TLogFile: write error");
  log->SetMessageMemo(nullptr);
  EXPECT_TRUE(log->Delete()) << "the lost problem line must not keep the log";
  log->SetDelete(false);
  log->SaveIfKept();
  EXPECT_EQ(windows.FileContent("C:\\ZOLTTEST.LOG"), "");
}

TEST_F(LogFileTest, AStopInsideALineIsNoWriteError) {
  StoppingLabel label;
  log->SetMessageLabel(&label);
  EXPECT_THROW(log->AddLine("regel", false), RunEnded);
}

TEST_F(LogFileTest, ACaughtErrorIsLoggedWithItsMessage) {
  LogFile = TLogFile::Create();
  LogException(EFCreateError("C:\\X.INI"), false);
  EXPECT_TRUE(LogFile->Delete());
  LogException(std::runtime_error("kapot"), true);
  EXPECT_FALSE(LogFile->Delete());
  LogFile->SetFileName("C:\\LMRSTART.LOG");
  FreeLogFile();
  EXPECT_EQ(windows.FileContent("C:\\LMRSTART.LOG"),
            "Exception: Cannot create file C:\\X.INI\r\nException: kapot\r\n");
}

TEST_F(LogFileTest, AFileThatCannotBeWrittenIsASaveError) {
  struct Case {
    const char* what;
    const char* fileName;
    std::function<void(WindowsModel&)> arrange;
  };
  const Case cases[] = {
      {"read-only file", "C:\\LMRSTART.LOG",
       [](WindowsModel& w) { w.AddFile("C:\\LMRSTART.LOG", "old", FileAttributeReadOnly); }},
      {"missing folder", "C:\\GEEN\\LMRSTART.LOG", [](WindowsModel&) {}},
      {"full disk", "C:\\LMRSTART.LOG", [](WindowsModel& w) { w.FailWrites(); }},
  };
  for (const Case& c : cases) {
    WindowsModel fresh;
    InstallApi(fresh);
    c.arrange(fresh);
    auto subject = TLogFile::Create();
    subject->SetFileName(c.fileName);
    subject->AddLine("regel", true);
    ExpectError([&] { subject->SaveIfKept(); }, "ELogFile", "TLogFile: save error");
    EXPECT_EQ(fresh.OpenHandleCount(), 0u) << c.what;
  }
}

TEST_F(LogFileTest, FreeingTheLogSavesItAndLeavesNoLogEvenWhenSavingFails) {
  windows.AddFile("C:\\ZOLTTEST.LOG", "old", FileAttributeReadOnly);
  LogFile = TLogFile::Create();
  LogFile->SetDelete(false);
  ExpectError(FreeLogFile, "ELogFile", "TLogFile: save error");
  EXPECT_EQ(LogFile, nullptr);
}

}  // namespace
}  // namespace tarvo
