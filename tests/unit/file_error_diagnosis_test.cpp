#include "app/file_error_diagnosis.h"

#include <gtest/gtest.h>

#include <functional>

#include "app/modules.h"
#include "log/log_file.h"
#include "platform/run_control.h"
#include "platform/text_lines.h"
#include "support/log_capture.h"
#include "support/model_test.h"

namespace tarvo {
namespace {

constexpr std::uint64_t At130509 = 134412087090000000;           // 2026-12-08 13:05:09
constexpr std::uint64_t JustAfterMidnight = 126281376010000000;  // 2001-03-04 00:00:01
constexpr std::uint64_t TwoSecondsLater = 126281376020000000;    // 2001-03-04 00:00:02
constexpr std::uint64_t Before1980 = 119600063990000000;         // 1979-12-31 23:59:59
constexpr std::size_t HeaderLines = 5;

const char* const Message =
    "De benodigde startpagina kon niet gemaakt worden. Volg de aanwijzingen die zo dadelijk "
    "verschijnt...";
const char* const ProblemReport =
    "In C:\\LMRSTART.LOG is een gedetailleerd rapport aangemaakt over het gevonden "
    "opstartprobleem. Stuur deze naar helpdesk@lumora.nl voor een mogelijke oplossing.";

// Runs the diagnosis inside a run without switches, so that only its problem
// line keeps the log; gives the lines it wrote, between header and closing.
std::vector<std::string> Diagnose(WindowsModel& windows, const Exception& error,
                                  const std::string& path, MemoSink* memo = nullptr) {
  StartModules();
  LogFile->SetMessageMemo(memo);
  EXPECT_THROW(ExceptionLog(error, path), RunEnded);
  const std::vector<std::string> lines =
      TextLines(windows.FileContent("C:\\LMRSTART.LOG").value_or(""));
  if (lines.size() < HeaderLines + 2) return {};
  return std::vector<std::string>(lines.begin() + HeaderLines, lines.end() - 2);
}

TEST(ExceptionLog, DescribesTheFileOrItsFolderAndDrive) {
  const std::string page = "C:\\WINDOWS\\TEMP\\LMRSTART.HTM";
  const EFCreateError createError(page);
  const EFOpenError openError("D:\\intface\\template.htm");
  const std::vector<std::string> noPageInItsFolder = {
      "xxx EL: (Exception EFCreateError: Cannot create file C:\\WINDOWS\\TEMP\\LMRSTART.HTM)",
      "xxx EL: (C:\\WINDOWS\\TEMP\\LMRSTART.HTM bestaat niet)",
      "xxx EL: (C:\\WINDOWS\\TEMP\\ bestaat)",
      "xxx EL: (Drive type is DRIVE_FIXED)",
      "xxx EL: (grootte = 10737418240)",
      "xxx EL: (vrij = 2684354560)"};
  struct Case {
    const char* what;
    std::function<void(WindowsModel&)> arrange;
    const Exception& error;
    std::string path;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"read-only page",
       [&](WindowsModel& w) {
         w.AddFile(page, "", FileAttributeReadOnly | FileAttributeArchive, At130509);
       },
       createError,
       page,
       {"xxx EL: (Exception EFCreateError: Cannot create file C:\\WINDOWS\\TEMP\\LMRSTART.HTM)",
        "xxx EL: (C:\\WINDOWS\\TEMP\\LMRSTART.HTM bestaat al)",
        "xxx EL: FileDatum = 8-12-2026 13:05:08", "xxx EL: (File attribute = 33)"}},
      {"page written at midnight, to the two seconds of a DOS time",
       [&](WindowsModel& w) { w.AddFile(page, "", FileAttributeArchive, JustAfterMidnight); },
       createError,
       page,
       {"xxx EL: (Exception EFCreateError: Cannot create file C:\\WINDOWS\\TEMP\\LMRSTART.HTM)",
        "xxx EL: (C:\\WINDOWS\\TEMP\\LMRSTART.HTM bestaat al)", "xxx EL: FileDatum = 4-3-2001",
        "xxx EL: (File attribute = 32)"}},
      {"page written two seconds after midnight",
       [&](WindowsModel& w) { w.AddFile(page, "", FileAttributeArchive, TwoSecondsLater); },
       createError,
       page,
       {"xxx EL: (Exception EFCreateError: Cannot create file C:\\WINDOWS\\TEMP\\LMRSTART.HTM)",
        "xxx EL: (C:\\WINDOWS\\TEMP\\LMRSTART.HTM bestaat al)",
        "xxx EL: FileDatum = 4-3-2001 00:00:02", "xxx EL: (File attribute = 32)"}},
      {"template missing from the disc's root",
       [](WindowsModel&) {},
       openError,
       "D:\\",
       {"xxx EL: (Exception EFOpenError: Cannot open file D:\\intface\\template.htm)",
        "xxx EL: (D:\\ bestaat niet)", "xxx EL: (D:\\ bestaat)",
        "xxx EL: (Drive type is DRIVE_CDROM)", "xxx EL: (grootte = 681574400)",
        "xxx EL: (vrij = 0)"}},
      {"temp directory missing",
       [](WindowsModel&) {},
       createError,
       "C:\\TEMP\\LMRSTART.HTM",
       {"xxx EL: (Exception EFCreateError: Cannot create file C:\\WINDOWS\\TEMP\\LMRSTART.HTM)",
        "xxx EL: (C:\\TEMP\\LMRSTART.HTM bestaat niet)", "xxx EL: (C:\\TEMP\\ bestaat niet)",
        "xxx EL: (Drive type is DRIVE_FIXED)", "xxx EL: (grootte = 10737418240)",
        "xxx EL: (vrij = 2684354560)"}},
      {"drive without a root",
       [](WindowsModel&) {},
       createError,
       "Q:\\LMRSTART.HTM",
       {"xxx EL: (Exception EFCreateError: Cannot create file C:\\WINDOWS\\TEMP\\LMRSTART.HTM)",
        "xxx EL: (Q:\\LMRSTART.HTM bestaat niet)", "xxx EL: (Q:\\ bestaat niet)",
        "xxx EL: (Root directory bestaat niet)", "xxx EL: (grootte = -1)", "xxx EL: (vrij = -1)"}},
      {"page dated before 1980, which no DOS date holds",
       [&](WindowsModel& w) { w.AddFile(page, "", FileAttributeArchive, Before1980); }, createError,
       page, noPageInItsFolder},
      {"a folder where the page should be", [&](WindowsModel& w) { w.AddFolder(page); },
       createError, page, noPageInItsFolder},
  };
  for (const Case& c : cases) {
    WindowsModel windows;
    InstallApi(windows);
    c.arrange(windows);
    EXPECT_EQ(Diagnose(windows, c.error, c.path), c.lines) << c.what;
    ASSERT_EQ(windows.Boxes().size(), 2u) << c.what;
    EXPECT_EQ(windows.Boxes()[0].text, Message) << c.what;
    EXPECT_EQ(windows.Boxes()[1].text, ProblemReport) << c.what;
    EXPECT_EQ(windows.OpenHandleCount(), 0u) << c.what;
  }
}

TEST(ExceptionLog, NamesEveryDriveType) {
  struct Case {
    std::uint32_t type;
    const char* line;
  };
  const Case cases[] = {
      {DriveUnknown, "xxx EL: (Drive type kan niet bepaald worden)"},
      {DriveNoRootDir, "xxx EL: (Root directory bestaat niet)"},
      {DriveRemovable, "xxx EL: (Drive type is DRIVE_REMOVABLE)"},
      {DriveFixed, "xxx EL: (Drive type is DRIVE_FIXED)"},
      {DriveRemote, "xxx EL: (Drive type is DRIVE_REMOTE)"},
      {DriveCdrom, "xxx EL: (Drive type is DRIVE_CDROM)"},
      {DriveRamdisk, "xxx EL: (Drive type is DRIVE_RAMDISK)"},
      {7, "xxx EL: (Drive type is onbekend)"},
  };
  for (const Case& c : cases) {
    WindowsModel windows;
    InstallApi(windows);
    windows.AddDrive('E', c.type, 1000, 600);
    const auto lines = Diagnose(windows, EWriteError(), "E:\\LMRSTART.HTM");
    ASSERT_EQ(lines.size(), 6u) << c.type;
    EXPECT_EQ(lines[3], c.line);
    EXPECT_EQ(lines[4], "xxx EL: (grootte = 1000)") << c.type;
    EXPECT_EQ(lines[5], "xxx EL: (vrij = 600)") << c.type;
  }
}

class ExceptionLogTest : public ModelTest {};

TEST_F(ExceptionLogTest, AnErrorWhileProbingIsLoggedAndTheRunStillEnds) {
  FailingMemo memo("xxx EL: (D:\\ bestaat niet)");
  const auto lines = Diagnose(windows, EFOpenError("D:\\intface\\template.htm"), "D:\\", &memo);
  EXPECT_EQ(lines,
            (std::vector<std::string>{
                "xxx EL: (Exception EFOpenError: Cannot open file D:\\intface\\template.htm)",
                "Exception: TLogFile: write error"}));
  ASSERT_EQ(windows.Boxes().size(), 2u);
  EXPECT_EQ(windows.Boxes()[0].text, Message);
}

TEST_F(ExceptionLogTest, OnlyLooks) {
  windows.AddFile("C:\\WINDOWS\\TEMP\\LMRSTART.HTM", "oud", FileAttributeReadOnly, At130509);
  Diagnose(windows, EFCreateError("C:\\WINDOWS\\TEMP\\LMRSTART.HTM"),
           "C:\\WINDOWS\\TEMP\\LMRSTART.HTM");
  EXPECT_EQ(windows.FileContent("C:\\WINDOWS\\TEMP\\LMRSTART.HTM"), "oud");
  EXPECT_EQ(windows.GetFileAttributes("C:\\WINDOWS\\TEMP\\LMRSTART.HTM"), FileAttributeReadOnly);
}

}  // namespace
}  // namespace tarvo
