// Version strings of executables, read for the first language listed.
#include "browser/version_info.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "detection_test.h"

namespace tarvo {
namespace {

const char* const Program = "C:\\Browser\\browser.exe";

std::vector<std::string> Lines(const std::string& size, std::vector<std::string> rest) {
  std::vector<std::string> lines = {"xxx GFI: FileName = C:\\Browser\\browser.exe",
                                    "xxx GFI: InfoType = ProductVersion",
                                    "xxx GFI: InfoSize = " + size};
  lines.insert(lines.end(), rest.begin(), rest.end());
  return lines;
}

class GetFileInfoTest : public DetectionTest {};

TEST_F(GetFileInfoTest, ReadsTheStringTableOfTheFirstLanguage) {
  const VersionResource english =
      SingleLanguageVersion(0x0409, 0x04B0, {{"ProductVersion", "5.0"}});
  const VersionResource dutch =
      SingleLanguageVersion(0x0413, 0x04E4, {{"ProductVersion", "4.72.3110.8"}});
  const VersionResource twoLanguages = {
      {0x04E40413, 0x04B00409},
      {{"041304E4", {{"FileVersion", "1.0"}}}, {"040904B0", {{"ProductVersion", "9.9"}}}}};
  const VersionResource innerZero =
      SingleLanguageVersion(0x0409, 0x04B0, {{"ProductVersion", std::string("6.1\0beta", 8)}});
  const VersionResource noTranslation = {{}, {{"040904B0", {{"ProductVersion", "5.0"}}}}};
  struct Case {
    const char* what;
    VersionResource resource;
    std::vector<std::string> lines;
    std::string value;
  };
  const Case cases[] = {
      {"English",
       english,
       {"xxx GFI: TranslationTable = 040904B0", "xxx GFI: Waarde = 5.0"},
       "5.0"},
      {"Dutch",
       dutch,
       {"xxx GFI: TranslationTable = 041304E4", "xxx GFI: Waarde = 4.72.3110.8"},
       "4.72.3110.8"},
      {"the value only in the second language",
       twoLanguages,
       {"xxx GFI: TranslationTable = 041304E4"},
       ""},
      {"a zero inside the value",
       innerZero,
       {"xxx GFI: TranslationTable = 040904B0", "xxx GFI: Waarde = 6.1"},
       "6.1"},
      {"no translation table", noTranslation, {}, ""},
  };
  for (const Case& c : cases) {
    windows.AddFile(Program, "MZ");
    windows.SetVersionResource(Program, c.resource);
    TakeLines();
    EXPECT_EQ(GetFileInfo(Program, "ProductVersion"), c.value) << c.what;
    const std::string size = std::to_string(AnsiVersionBlock(c.resource).size());
    EXPECT_EQ(TakeLines(), Lines(size, c.lines)) << c.what;
  }
  EXPECT_FALSE(LoggedAProblem());
}

TEST_F(GetFileInfoTest, FailsQuietlyWithoutVersionInformation) {
  const std::string failed = "xxx GFI: (GetFileVersionInfo is mislukt)";
  windows.AddFile(Program, "MZ");
  EXPECT_EQ(GetFileInfo(Program, "ProductVersion"), "");
  EXPECT_EQ(TakeLines(), Lines("0", {failed}));

  EXPECT_EQ(GetFileInfo("", "FileVersion"), "");
  EXPECT_EQ(TakeLines(),
            (std::vector<std::string>{"xxx GFI: FileName = ", "xxx GFI: InfoType = FileVersion",
                                      "xxx GFI: InfoSize = 0", failed}));

  const VersionResource resource = SingleLanguageVersion(0x0409, 0x04B0, {{"ProductVersion", "5"}});
  windows.SetVersionResource(Program, resource);
  windows.FailVersionReads();
  EXPECT_EQ(GetFileInfo(Program, "ProductVersion"), "");
  EXPECT_EQ(TakeLines(), Lines(std::to_string(AnsiVersionBlock(resource).size()), {failed}));
}

// The translation table is the block's last value, so it ends with it.
TEST_F(GetFileInfoTest, ReadsALengthThatRunsPastTheBlockUpToTheBlocksEnd) {
  const std::vector<std::string> found = {"xxx GFI: TranslationTable = 040904B0",
                                          "xxx GFI: Waarde = 5.0"};
  struct Case {
    const char* key;
    std::uint16_t valueLength;
    std::string value;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"ProductVersion", 0xFFFF, "5.0", found},
      {"Translation", 0xFFFF, "5.0", found},
      {"Translation", 3, "", {}},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> block =
        AnsiVersionBlock(SingleLanguageVersion(0x0409, 0x04B0, {{"ProductVersion", "5.0"}}));
    const std::string key = std::string(c.key) + '\0';
    const auto node = std::search(block.begin(), block.end(), key.begin(), key.end()) - 4;
    node[2] = static_cast<std::uint8_t>(c.valueLength);  // wValueLength
    node[3] = static_cast<std::uint8_t>(c.valueLength >> 8);
    windows.AddFile(Program, "MZ");
    windows.SetVersionBlock(Program, block);
    TakeLines();
    EXPECT_EQ(GetFileInfo(Program, "ProductVersion"), c.value) << c.key << " " << c.valueLength;
    EXPECT_EQ(TakeLines(), Lines(std::to_string(block.size()), c.lines)) << c.key;
  }
}

}  // namespace
}  // namespace tarvo
