// The catalogue reader and the choice and refreshing of the catalogue copy.
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "browser/catalogue_file.h"
#include "detection_test.h"
#include "platform/catalogue_reader.h"

namespace tarvo {
namespace {

TEST(ParseCatalogueInteger, TakesDecimalAndSigned32BitHexadecimal) {
  struct Case {
    const char* text;
    std::optional<std::int32_t> value;
  };
  const Case cases[] = {
      {"3", 3},
      {"007", 7},
      {"-1", -1},
      {"-0", 0},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"99999999999999999999", std::nullopt},
      {"0x10", 16},
      {"0X1f", 31},
      {"0x0000000000FF", 255},
      {"0x7FFFFFFF", 2147483647},
      {"0xFFFFFFFF", -1},
      {"0x80000000", -2147483647 - 1},
      {"0x100000000", std::nullopt},
      {"0x", std::nullopt},
      {"0xG", std::nullopt},
      {"-0x10", std::nullopt},
      {"+5", std::nullopt},
      {"", std::nullopt},
      {"-", std::nullopt},
      {"1 2", std::nullopt},
      {"12a", std::nullopt},
      {"drie", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseCatalogueInteger(c.text), c.value) << c.text;
}

class CatalogueFile : public DetectionTest {
 protected:
  // The catalogue copy with "Versie" `version`, unless none.
  void PlaceCatalogue(const std::string& path, const std::optional<std::string>& version) {
    if (version) windows.AddFile(path, "[Informatie]\r\nVersie=" + *version + "\r\n");
  }
};

TEST_F(CatalogueFile, TheNewerCopyServesAndANewerDiscRefreshesTheWindowsCopy) {
  const std::string cdPath = CdCatalogue;
  const std::string windowsPath = WindowsCatalogue;
  const std::vector<std::string> windowsLines = {"xxx GBIFN: Lengte = 10",
                                                 "xxx GBIFN: IniFileNameWindows = " + windowsPath};
  struct Case {
    const char* what;
    std::optional<std::string> cdVersion;
    std::optional<std::string> windowsVersion;
    std::string cdVersionLine;
    std::string windowsVersionLine;
    bool copied;
  };
  const Case cases[] = {
      {"no Windows copy", "3", std::nullopt, "3", "0", true},
      {"equal versions", "3", "3", "3", "3", false},
      {"an older disc", "3", "5", "3", "5", false},
      {"hexadecimal against decimal", "0x10", "12", "16", "12", true},
      {"version 10 after 9", "10", "9", "10", "9", true},
      {"negative disc version", "-1", std::nullopt, "-1", "0", false},
      {"disc version no number", "drie", std::nullopt, "0", "0", false},
      {"no disc catalogue", std::nullopt, "2", "0", "2", false},
  };
  for (const Case& c : cases) {
    WindowsModel fresh;
    InstallApi(fresh);
    BrowserIniFile.clear();
    TakeLines();
    if (c.cdVersion) fresh.AddFile(cdPath, "[Informatie]\r\nVersie=" + *c.cdVersion + "\r\n");
    if (c.windowsVersion) {
      fresh.AddFile(windowsPath, "[Informatie]\r\nVersie=" + *c.windowsVersion + "\r\n");
    }
    const std::optional<std::string> cdContent = fresh.FileContent(cdPath);
    const std::optional<std::string> windowsBefore = fresh.FileContent(windowsPath);

    EXPECT_EQ(GetBrowserIniFileName(), c.copied ? cdPath : windowsPath) << c.what;

    std::vector<std::string> expected = {"xxx GBIFN: IniFileNameCD = " + cdPath,
                                         "xxx GBIFN: IniVersieCD = " + c.cdVersionLine};
    expected.insert(expected.end(), windowsLines.begin(), windowsLines.end());
    expected.push_back("xxx GBIFN: IniVersieWindows = " + c.windowsVersionLine);
    if (c.copied) expected.push_back("xxx GBIFN: (Kopiëren INI file)");
    EXPECT_EQ(TakeLines(), expected) << c.what;
    EXPECT_EQ(fresh.FileContent(windowsPath), c.copied ? cdContent : windowsBefore) << c.what;
    EXPECT_FALSE(LoggedAProblem()) << c.what;
  }
  InstallApi(windows);
}

TEST_F(CatalogueFile, IsChosenOncePerRunAndForgottenByTheClosingStep) {
  PlaceCatalogue(CdCatalogue, "3");
  EXPECT_EQ(GetBrowserIniFileName(), CdCatalogue);
  EXPECT_EQ(TakeLines().size(), 6u);
  windows.AddFile(CdCatalogue, "[Informatie]\r\nVersie=9\r\n");

  EXPECT_EQ(GetBrowserIniFileName(), CdCatalogue);
  EXPECT_TRUE(TakeLines().empty()) << "a second call reads and logs nothing";

  BrowsInfClose();
  EXPECT_EQ(BrowserIniFile, "");
  EXPECT_EQ(GetBrowserIniFileName(), CdCatalogue);
  EXPECT_EQ(TakeLines().size(), 6u);
}

TEST_F(CatalogueFile, AWindowsDirectoryEndingInABackslashGetsNoSecond) {
  windows.SetWindowsDirectory("C:\\");
  PlaceCatalogue("C:\\BROWSERS.INI", "4");
  EXPECT_EQ(GetBrowserIniFileName(), "C:\\BROWSERS.INI");
  const auto lines = TakeLines();
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.end()),
            (std::vector<std::string>{"xxx GBIFN: Lengte = 3",
                                      "xxx GBIFN: IniFileNameWindows = C:\\BROWSERS.INI",
                                      "xxx GBIFN: IniVersieWindows = 4"}));
}

TEST_F(CatalogueFile, WithoutAWindowsDirectoryTheDiscCopyIsReadAndTheCopyFails) {
  windows.SetWindowsDirectory("");
  PlaceCatalogue(CdCatalogue, "3");
  EXPECT_EQ(GetBrowserIniFileName(), CdCatalogue);
  EXPECT_EQ(TakeLines(), (std::vector<std::string>{
                             "xxx GBIFN: IniFileNameCD = D:\\intface\\browsers.ini",
                             "xxx GBIFN: IniVersieCD = 3",
                             "xxx GBIFN: Lengte = 0",
                             "xxx GBIFN: (Kopiëren INI file)",
                             "Exception: Cannot create file ",
                         }));
  EXPECT_TRUE(LoggedAProblem());
}

TEST_F(CatalogueFile, AnEmptyChoiceIsNotRemembered) {
  windows.SetWindowsDirectory("C:\\" + std::string(300, 'W'));
  EXPECT_EQ(GetBrowserIniFileName(), "");
  EXPECT_EQ(TakeLines(), (std::vector<std::string>{
                             "xxx GBIFN: IniFileNameCD = D:\\intface\\browsers.ini",
                             "xxx GBIFN: IniVersieCD = 0",
                             "xxx GBIFN: Lengte = 304",
                         }));
  EXPECT_EQ(GetBrowserIniFileName(), "");
  EXPECT_EQ(TakeLines().size(), 3u) << "the next call chooses again";
}

TEST_F(CatalogueFile, CatalogueReadersTakeDefaultsForWhatIsMissingOrNoNumber) {
  windows.AddFile(CdCatalogue, "[IE5]\r\nExtraH=0x20\r\nExtraW=veel\r\nNaam=\"Internet\"\r\n");
  const CatalogueReader catalogue(CdCatalogue);
  EXPECT_EQ(catalogue.ReadInteger("IE5", "ExtraH", 7), 32);
  EXPECT_EQ(catalogue.ReadInteger("IE5", "ExtraW", 7), 7);
  EXPECT_EQ(catalogue.ReadInteger("IE5", "Absent", 7), 7);
  EXPECT_EQ(catalogue.ReadString("IE5", "Naam", ""), "Internet");
  EXPECT_EQ(CatalogueReader("D:\\absent.ini").ReadString("IE5", "Naam", "geen"), "geen");
  windows.AddFile(CdCatalogue, "[S]\r\nK=" + std::string(3000, 'x') + "\r\n");
  EXPECT_EQ(catalogue.ReadString("S", "K", "").size(), 2047u);
}

class CopyFileContentsTest : public DetectionTest {
 protected:
  static constexpr const char* Source = "D:\\intface\\browsers.ini";
  static constexpr const char* Dest = "C:\\WINDOWS\\BROWSERS.INI";
};

TEST_F(CopyFileContentsTest, ReplacesTheDestinationWithTheWholeSource) {
  const std::string content("[Informatie]\r\nVersie=4\r\n\xE9\0x", 26);
  windows.AddFile(Source, content);
  windows.AddFile(Dest, "[Informatie]\r\nVersie=3\r\nlonger old content\r\n");
  CopyFileContents(Source, Dest);
  EXPECT_EQ(windows.FileContent(Dest), content);
  EXPECT_FALSE(windows.FileContent(std::string(Dest) + ".tmp"));
  EXPECT_TRUE(TakeLines().empty());
  EXPECT_EQ(windows.OpenHandleCount(), 0u);
}

TEST_F(CopyFileContentsTest, WritesTheDestinationItselfWhereNoCopyCanReplaceIt) {
  // The destination's path fits MAX_PATH; with ".tmp" it does not.
  const std::string longDest = "C:\\" + std::string(242, 'L') + "\\BROWSERS.INI";
  const std::string someoneElses = "van een ander programma";
  struct Case {
    const char* what;
    std::string dest;
    std::function<void(WindowsModel&)> arrange;
    std::optional<std::string> temporaryAfter;
  };
  const Case cases[] = {
      {"rename refused", Dest, [](WindowsModel& w) { w.RefuseMoves(); }, std::nullopt},
      {"no new file in the folder", Dest,
       [](WindowsModel& w) { w.DenyNewFiles("C:\\WINDOWS"); }, std::nullopt},
      {"temporary name past the longest path", longDest, [](WindowsModel&) {}, std::nullopt},
      {"temporary name taken", Dest,
       [&](WindowsModel& w) { w.AddFile(std::string(Dest) + ".tmp", someoneElses); },
       someoneElses},
  };
  for (const Case& c : cases) {
    WindowsModel fresh;
    InstallApi(fresh);
    fresh.AddFile(Source, "new");
    fresh.AddFile(c.dest, "old");
    c.arrange(fresh);
    CopyFileContents(Source, c.dest);
    EXPECT_EQ(fresh.FileContent(c.dest), "new") << c.what;
    EXPECT_EQ(fresh.FileContent(c.dest + ".tmp"), c.temporaryAfter) << c.what;
    EXPECT_TRUE(TakeLines().empty()) << c.what;
    EXPECT_EQ(fresh.OpenHandleCount(), 0u) << c.what;
  }
  InstallApi(windows);
}

TEST_F(CopyFileContentsTest, AFailureKeepsTheOldDestinationAndIsAProblem) {
  struct Case {
    const char* what;
    bool sourceExists;
    std::uint32_t destAttributes;
    bool diskFull;
    std::string dest;
    std::string line;
  };
  const Case cases[] = {
      {"source missing", false, FileAttributeArchive, false, Dest,
       "Exception: Cannot open file D:\\intface\\browsers.ini"},
      {"read-only destination", true, FileAttributeReadOnly, false, Dest,
       "Exception: Cannot create file C:\\WINDOWS\\BROWSERS.INI"},
      {"disk full", true, FileAttributeArchive, true, Dest, "Exception: Stream write error"},
      {"folder missing", true, FileAttributeArchive, false, "C:\\GEEN\\BROWSERS.INI",
       "Exception: Cannot create file C:\\GEEN\\BROWSERS.INI"},
      {"no destination", true, FileAttributeArchive, false, "", "Exception: Cannot create file "},
  };
  for (const Case& c : cases) {
    WindowsModel fresh;
    InstallApi(fresh);
    LogFile->SetDelete(true);
    if (c.sourceExists) fresh.AddFile(Source, "new");
    fresh.AddFile(Dest, "old", c.destAttributes);
    if (c.diskFull) fresh.FailWrites();
    // As under Wine, whose rename would replace a read-only destination.
    fresh.ReplaceReadOnlyFilesOnMove();

    CopyFileContents(Source, c.dest);

    EXPECT_EQ(TakeLines(), std::vector<std::string>{c.line}) << c.what;
    EXPECT_TRUE(LoggedAProblem()) << c.what;
    EXPECT_EQ(fresh.FileContent(Dest), "old") << c.what;
    EXPECT_FALSE(fresh.FileContent(c.dest + ".tmp")) << c.what;
    EXPECT_EQ(fresh.OpenHandleCount(), 0u) << c.what;
  }
  InstallApi(windows);
}

}  // namespace
}  // namespace tarvo
