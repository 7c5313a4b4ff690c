#include "app/start_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>

#include "app/browser_path.h"
#include "app/main_sequence.h"
#include "app/modules.h"
#include "log/log_file.h"
#include "platform/run_control.h"
#include "platform/text_lines.h"
#include "support/log_capture.h"
#include "support/model_test.h"

namespace tarvo {
namespace {

const char* const Template = "D:\\intface\\template.htm";
const char* const Page = "C:\\WINDOWS\\TEMP\\lmrstart.htm";
const char* const SettingsKey = "Software\\Lumora\\Interface";
const char* const NoTempMessage =
    "Geen TEMP directory gevonden, we zullen dus C:\\ moeten gebruiken. Lees de help hoe u deze "
    "melding kunt voorkomen...";

struct Sizes {
  std::int32_t desktopHeight;
  std::int32_t desktopWidth;
  std::int32_t browserHeight;
  std::int32_t browserWidth;
};
constexpr Sizes Usual{740, 1024, 507, 650};

class StartPageTest : public ModelTest {
 protected:
  StartPageTest() { BrowserCode = "IE4"; }

  // Runs the routine as the main sequence does, from the start directory D:\.
  std::string Create(const Sizes& sizes = Usual, const std::string& startDir = "D:\\") {
    std::string document = startDir;
    CreateStartPage(document, sizes.desktopHeight, sizes.desktopWidth, sizes.browserHeight,
                    sizes.browserWidth);
    EXPECT_EQ(windows.OpenHandleCount(), 0u);
    return document;
  }

  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const ShownBox& box : windows.Boxes()) texts.push_back(box.text);
    return texts;
  }

  LogCapture log;
};

TEST_F(StartPageTest, FillsInTheFirstCommentOfALineWhenItIsAPlaceholder) {
  struct Case {
    std::string templateText;
    std::string page;
    Sizes sizes = Usual;
  };
  const Case cases[] = {
      {"<!--INTFACEX-->", "187\r\n"},
      {"<!--INTFACEY-->", "116\r\n"},
      {"<!--INTFACEX-->", "-2\r\n", {740, 645, 507, 650}},
      {"<!--INTFACEY-->", "-2\r\n", {502, 1024, 507, 650}},
      {"<!--INTFACEX-->", "0\r\n", {740, INT32_MAX, 507, INT32_MIN}},
      {"<!--INTFACEX-->", "1073741823\r\n", {740, INT32_MIN, 507, 1}},
      {"  left = <!--INTFACEX-->;", "  left = 187;\r\n"},
      {"<p><!--INTFACEX--> <!--INTFACEY--></p>", "<p>187 <!--INTFACEY--></p>\r\n"},
      {"<!-- gewoon --><!--VOLUME-->", "<!-- gewoon --><!--VOLUME-->\r\n"},
      {"<!--intfacex-->", "<!--intfacex-->\r\n"},
      {"<!-- INTFACEX -->", "<!-- INTFACEX -->\r\n"},
      {"a --> b <!--INTFACEX-->", "a --> b <!--INTFACEX-->\r\n"},
      {"<script><!--", "<script><!--\r\n"},
      {"<!--TEMPLATE-->", "file:///d|/intface/hoofd.htm\r\n"},
      {"<b><!--STATUSTEKST--></b>", "<b>\xA9 Lumora 2026</b>\r\n"},
      {"<!--MUZIEK-->", "1\r\n"},
      {"<!--NUMMER-->", "1\r\n"},
      {"<!--VOLUME-->", "7\r\n"},
      {"", ""},
      {"een\n<!--INTFACEX-->\ntwee\n", "een\r\n187\r\ntwee\r\n"},
      {"een\r<!--INTFACEY-->\r", "een\r\n116\r\n"},
      {std::string("een\r\n<!--INTFACEX-->\0<!--INTFACEY-->\r\n", 38), "een\r\n187\r\n"},
  };
  for (const Case& c : cases) {
    windows.AddFile(Template, c.templateText);
    EXPECT_EQ(Create(c.sizes), Page);
    EXPECT_EQ(windows.FileContent(Page), c.page) << ::testing::PrintToString(c.templateText);
  }
  EXPECT_TRUE(windows.Boxes().empty());
  EXPECT_FALSE(log.Problem());
}

TEST_F(StartPageTest, LogsItsStepsAndLeavesThePagesPath) {
  windows.AddFile(Template, "<!--TEMPLATE-->");
  EXPECT_EQ(Create(), Page);
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{
                             "403: TempDir = C:\\WINDOWS\\TEMP\\",
                             "404: (ConvertToBrowserDir = file:///d|/intface/hoofd.htm)",
                             "405: FileName = C:\\WINDOWS\\TEMP\\lmrstart.htm",
                             "406: (vervangen en aanmaken startpagina gelukt)",
                         }));
}

TEST_F(StartPageTest, NavigatorGetsTheFramedMainPage) {
  windows.AddFile("C:\\Mijn CD\\intface\\template.htm", "<!--TEMPLATE-->");
  struct Case {
    const char* code;
    const char* address;
  };
  const Case cases[] = {
      {"NN3", "file:///c|/mijn cd/intface/frame.htm"},
      {"NN4", "file:///c|/mijn cd/intface/frame.htm"},
      {"NNX", "file:///c|/mijn cd/intface/frame.htm"},
      {"ONB", "file:///c|/mijn cd/intface/hoofd.htm"},
      {"IE5", "file:///c|/mijn cd/intface/hoofd.htm"},
      {"N", "file:///c|/mijn cd/intface/hoofd.htm"},
      {"ENN", "file:///c|/mijn cd/intface/hoofd.htm"},
  };
  for (const Case& c : cases) {
    BrowserCode = c.code;
    Create(Usual, "C:\\MIJN CD\\");
    EXPECT_EQ(windows.FileContent(Page), std::string(c.address) + "\r\n") << c.code;
  }
}

TEST_F(StartPageTest, ChoosesTheTemporaryDirectory) {
  const std::string longPath = "C:\\" + std::string(1100, 'x');
  struct Case {
    const char* what;
    std::function<void(WindowsModel&)> arrange;
    std::vector<std::string> linesBefore404;
    std::string page;
    std::vector<std::string> boxes;
  };
  const Case cases[] = {
      {"lower case, no final backslash",
       [](WindowsModel& w) {
         w.AddFolder("C:\\Tmp\\Web");
         w.SetTempPathAsWritten("c:\\tmp\\web");
       },
       {"403: TempDir = C:\\TMP\\WEB\\"},
       "C:\\TMP\\WEB\\lmrstart.htm",
       {}},
      {"no temp path",
       [](WindowsModel& w) { w.FailTempPath(); },
       {"402: (opvragen tijdelijke directory mislukt)", "403: TempDir = C:\\"},
       "C:\\lmrstart.htm",
       {}},
      {"a temp path too long for the buffer",
       [&](WindowsModel& w) { w.SetTempPath(longPath); },
       {"403: TempDir = C:\\"},
       "C:\\lmrstart.htm",
       {}},
      {"the start directory itself",
       [](WindowsModel& w) { w.SetTempPath("d:"); },
       {"403: TempDir = D:\\", "Melding: (tempdir bestaat niet)"},
       "C:\\lmrstart.htm",
       {NoTempMessage}},
  };
  for (const Case& c : cases) {
    WindowsModel fresh;
    InstallApi(fresh);
    fresh.AddFile(Template, "<!--INTFACEX-->");
    c.arrange(fresh);
    LogCapture caseLog;

    std::string document = "D:\\";
    CreateStartPage(document, 740, 1024, 507, 650);

    EXPECT_EQ(document, c.page) << c.what;
    EXPECT_EQ(fresh.FileContent(c.page), "187\r\n") << c.what;
    const auto& lines = caseLog.Lines();
    const auto at404 = std::find_if(lines.begin(), lines.end(),
                                    [](const std::string& l) { return l.rfind("404", 0) == 0; });
    EXPECT_EQ(std::vector<std::string>(lines.begin(), at404), c.linesBefore404) << c.what;
    std::vector<std::string> boxes;
    for (const ShownBox& box : fresh.Boxes()) boxes.push_back(box.text);
    EXPECT_EQ(boxes, c.boxes) << c.what;
    EXPECT_FALSE(caseLog.Problem()) << c.what;
  }
}

TEST_F(StartPageTest, TheStatusTextCarriesTheYearOfTheClock) {
  constexpr std::uint64_t NewYear2001 = 126227808000000000;
  windows.SetClock(NewYear2001);
  windows.AddFile(Template, "<!--STATUSTEKST-->");
  Create();
  EXPECT_EQ(windows.FileContent(Page), "\xA9 Lumora 2001\r\n");
}

TEST_F(StartPageTest, ReadsAMusicSettingForEveryLineThatAsksForIt) {
  windows.SetRegistryDword(HkeyCurrentUser, SettingsKey, "MuziekVolume", 3);
  windows.SetRegistryDword(HkeyCurrentUser, SettingsKey, "MuziekAan", 0);
  windows.SetRegistryText(HkeyCurrentUser, SettingsKey, "MuziekNummer", "5");
  windows.AddFile(Template,
                  "<!--MUZIEK-->\r\n<!--NUMMER-->\r\n<!--VOLUME-->\r\nx=<!--NUMMER-->;\r\n");
  Create();
  EXPECT_EQ(windows.FileContent(Page), "0\r\n<!--NUMMER-->\r\n3\r\nx=<!--NUMMER-->;\r\n");
  EXPECT_EQ(BoxTexts(), std::vector<std::string>(2,
                                                 "Exception: Invalid data type for "
                                                 "'MuziekNummer'"));
  EXPECT_FALSE(log.Problem()) << "the settings' errors are not logged";
}

TEST_F(StartPageTest, AnErrorThatIsNoFileErrorIsLoggedAndTheRunGoesOn) {
  windows.AddFile(Template, "<!--INTFACEX-->");
  FailingMemo memo("404: (ConvertToBrowserDir = file:///d|/intface/hoofd.htm)");
  LogFile->SetMessageMemo(&memo);
  EXPECT_EQ(Create(), "file:///d|/intface/hoofd.htm");
  EXPECT_EQ(log.Lines().back(), "Exception: TLogFile: write error");
  EXPECT_TRUE(log.Problem());
  EXPECT_FALSE(windows.FileContent(Page));
}

// File errors end the run through the diagnosis, which needs the modules of
// a run; the log it leaves names the file that failed.
TEST(CreateStartPage, AFileErrorEndsTheRunWithTheDiagnosisOfThatFile) {
  struct Case {
    const char* what;
    std::function<void(WindowsModel&)> arrange;
    std::vector<std::string> diagnosis;  // its first two lines
  };
  const Case cases[] = {
      {"template missing",
       [](WindowsModel&) {},
       {"xxx EL: (Exception EFOpenError: Cannot open file D:\\intface\\template.htm)",
        "xxx EL: (D:\\ bestaat niet)"}},
      {"read-only page",
       [](WindowsModel& w) {
         w.AddFile(Template);
         w.AddFile(Page, "oud", FileAttributeReadOnly | FileAttributeArchive);
       },
       {"xxx EL: (Exception EFCreateError: Cannot create file C:\\WINDOWS\\TEMP\\lmrstart.htm)",
        "xxx EL: (C:\\WINDOWS\\TEMP\\lmrstart.htm bestaat al)"}},
      {"full disk",
       [](WindowsModel& w) {
         w.AddFile(Template, "<html>");
         w.AddDrive('E', DriveFixed, 1000, 0);
         w.SetTempPath("E:\\");
       },
       {"xxx EL: (Exception EWriteError: Stream write error)",
        "xxx EL: (E:\\lmrstart.htm bestaat al)"}},
  };
  for (const Case& c : cases) {
    WindowsModel windows;
    InstallApi(windows);
    c.arrange(windows);
    StartModules();
    std::string document = "D:\\";
    EXPECT_THROW(CreateStartPage(document, 740, 1024, 507, 650), RunEnded) << c.what;

    const auto lines = TextLines(windows.FileContent("C:\\LMRSTART.LOG").value_or(""));
    const auto first = std::find(lines.begin(), lines.end(), c.diagnosis.front());
    ASSERT_LT(first + 1, lines.end()) << c.what;
    EXPECT_EQ(std::vector<std::string>(first, first + 2), c.diagnosis) << c.what;
    EXPECT_EQ(windows.Boxes().size(), 2u) << c.what << ": the message and the closing report";
    EXPECT_EQ(windows.OpenHandleCount(), 0u) << c.what;
  }
}

TEST(ConvertToBrowserDir, GivesTheLocalFileAddress) {
  struct Case {
    std::string path;
    std::string address;
  };
  const Case cases[] = {
      {"d:\\intface\\hoofd.htm", "file:///d|/intface/hoofd.htm"},
      {"", ""},
      {"e:\\mijn cd\\intface\\frame.htm", "file:///e|/mijn cd/intface/frame.htm"},
      {"hoofd.htm", "file:///hoofd.htm"},
      {"\\\\server\\cd\\intface\\hoofd.htm", "file://///server/cd/intface/hoofd.htm"},
      {"E:\\Één#1%\\X.HTM", "file:///E|/Één#1%/X.HTM"},
      {"c:\\a:b\\x.htm", "file:///c|/a|b/x.htm"},
  };
  for (Case c : cases) {
    const std::string path = c.path;
    ConvertToBrowserDir(c.path);
    EXPECT_EQ(c.path, c.address) << path;
  }
}

}  // namespace
}  // namespace tarvo
