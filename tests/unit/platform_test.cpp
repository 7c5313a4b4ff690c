#include <gtest/gtest.h>

#include "platform/ascii_case.h"
#include "platform/exceptions.h"
#include "platform/file_helpers.h"
#include "platform/message_box.h"
#include "platform/text_lines.h"
#include "support/expect_error.h"
#include "support/model_test.h"

namespace tarvo {
namespace {

TEST(Encoding, DutchTextsAreSingleWindows1252Bytes) {
  EXPECT_EQ(std::string("Kopiëer"),
            "Kopi\xEB"
            "er");
  EXPECT_EQ(std::string("geïnstalleerd"), "ge\xEFnstalleerd");
}

TEST(AsciiCase, ChangesOnlyAsciiLetters) {
  EXPECT_EQ(AsciiUpperCase("c:\\één\\mixed-Case_09.htm"), "C:\\ééN\\MIXED-CASE_09.HTM");
  EXPECT_EQ(AsciiLowerCase("C:\\ÉÉN\\MIXED-Case_09.HTM"), "c:\\ÉÉn\\mixed-case_09.htm");
}

TEST(ApplicationTitle, IsTheFileNameUpToItsFirstDotInLowerCaseAfterTheFirstLetter) {
  struct Case {
    const char* module;
    const char* title;
  };
  const Case cases[] = {
      {"D:\\TARVO32.EXE", "Tarvo32"}, {"C:\\Program Files\\CD\\tarvo32.exe", "tarvo32"},
      {"E:\\MY.START.EXE", "My"},     {"E:\\ÉTUDE.EXE", "Étude"},
      {"E:noext", "noext"},           {"E:\\.EXE", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ApplicationTitle(c.module), c.title) << c.module;
}

TEST(TextLines, SplitAtEveryKindOfLineEndUpToTheFirstNul) {
  using Lines = std::vector<std::string>;
  struct Case {
    std::string text;
    Lines lines;
  };
  const Case cases[] = {
      {"", {}},
      {"een", {"een"}},
      {"een\r\ntwee\r\n", {"een", "twee"}},
      {"een\ntwee\n", {"een", "twee"}},
      {"een\rtwee\r", {"een", "twee"}},
      {"een\n\r\ntwee", {"een", "", "twee"}},
      {"een\r\r\n", {"een", ""}},
      {"\n", {""}},
      {"\n\r", {"", ""}},
      {std::string("een\r\ntw\0ee\r\ndrie", 16), {"een", "tw"}},
      {std::string("\0een", 4), {}},
      {"  é\t ", {"  é\t "}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TextLines(c.text), c.lines) << ::testing::PrintToString(c.text);
}

TEST(CrLfText, EndsEveryLineWithCrLf) {
  EXPECT_EQ(CrLfText({}), "");
  EXPECT_EQ(CrLfText({""}), "\r\n");
  EXPECT_EQ(CrLfText({"een", "", "drie"}), "een\r\n\r\ndrie\r\n");
}

class FileHelpersTest : public ModelTest {};

TEST_F(FileHelpersTest, ShowMessageUsesTheTitleAndNoIcon) {
  ShowMessage("Hallo");
  ASSERT_EQ(windows.Boxes().size(), 1u);
  EXPECT_EQ(windows.Boxes()[0].caption, "Tarvo32");
  EXPECT_EQ(windows.Boxes()[0].text, "Hallo");
  EXPECT_EQ(windows.Boxes()[0].icon, MessageBoxIcon::None);
}

TEST_F(FileHelpersTest, AFileExistsWhenFoundAndNoFolderWhateverItsTime) {
  constexpr std::uint64_t before1980 = 119600063990000000;
  windows.AddFile("C:\\B\\browser.exe");
  windows.AddFile("C:\\B\\hidden.exe", "", FileAttributeHidden);
  windows.AddFile("C:\\B\\old.exe", "", FileAttributeArchive, before1980);
  struct Case {
    const char* path;
    bool exists;
  };
  const Case cases[] = {
      {"C:\\B\\browser.exe", true},
      {"c:\\b\\BROWSER.EXE", true},
      {"C:\\B\\hidden.exe", true},
      {"C:\\B\\old.exe", true},
      {"C:\\B", false},
      {"C:\\B\\absent.exe", false},
  };
  for (const Case& c : cases) EXPECT_EQ(FileExists(c.path), c.exists) << c.path;
  EXPECT_EQ(windows.OpenHandleCount(), 0u);
}

TEST_F(FileHelpersTest, ReadWholeFileNamesAFileThatCannotBeOpened) {
  windows.AddFile("C:\\T\\template.htm", "<html>");
  EXPECT_EQ(ReadWholeFile("c:\\t\\TEMPLATE.HTM"), "<html>");
  ExpectError([] { ReadWholeFile("C:\\T\\absent.htm"); }, "EFOpenError",
              "Cannot open file C:\\T\\absent.htm");
  EXPECT_EQ(windows.OpenHandleCount(), 0u);
}

TEST_F(FileHelpersTest, WriteWholeFileNamesWhatFailed) {
  ExpectError([] { WriteWholeFile("C:\\GEEN\\X.TXT", "x"); }, "EFCreateError",
              "Cannot create file C:\\GEEN\\X.TXT");
  windows.FailWrites();
  ExpectError([] { WriteWholeFile("C:\\X.TXT", "x"); }, "EWriteError", "Stream write error");
  EXPECT_EQ(windows.OpenHandleCount(), 0u);
}

}  // namespace
}  // namespace tarvo
