// Browser identification against the catalogue, and the window sizes that
// follow from the code.
#include <gtest/gtest.h>

#include "browser/browser_identification.h"
#include "browser/window_size.h"
#include "detection_test.h"

namespace tarvo {
namespace {

const char* const InternetExplorer = "C:\\Program Files\\Internet Explorer\\iexplore.exe";

class IdentificationTest : public DetectionTest {
 protected:
  // The code for the browser, and which entries matched, in order.
  std::pair<std::string, std::vector<std::string>> Identify(const std::string& path) {
    GetBrowserIniFileName();
    TakeLines();
    const std::string code = GetBrowserName(path);
    std::vector<std::string> matches;
    for (const std::string& line : TakeLines()) {
      if (line.rfind("xxx GBN: BrowserCount = ", 0) == 0) matches.push_back(line.substr(24));
    }
    return {code, matches};
  }
};

TEST_F(IdentificationTest, LogsEveryStepAndEveryMatch) {
  windows.AddFile(CdCatalogue, Catalogue({{"IEXPLORE", "4", "ie4", "Internet Explorer 4"},
                                          {"iexplore", "", "IE5x", "Internet Explorer"}}));
  AddBrowser(windows, InternetExplorer, "4.72.3110.8");
  const std::string infoSize =
      std::to_string(AnsiVersionBlock(ProductVersion("4.72.3110.8")).size());
  GetBrowserIniFileName();
  TakeLines();

  EXPECT_EQ(GetBrowserName(InternetExplorer), "IE5");
  EXPECT_EQ(TakeLines(),
            (std::vector<std::string>{
                "xxx GBN: FileName = C:\\PROGRAM FILES\\INTERNET EXPLORER\\IEXPLORE.EXE",
                "xxx GFI: FileName = C:\\PROGRAM FILES\\INTERNET EXPLORER\\IEXPLORE.EXE",
                "xxx GFI: InfoType = ProductVersion",
                "xxx GFI: InfoSize = " + infoSize,
                "xxx GFI: TranslationTable = 040904B0",
                "xxx GFI: Waarde = 4.72.3110.8",
                "xxx GBN: Versie = 4.72.3110.8",
                "xxx GBN: BrowserIniFile = D:\\intface\\browsers.ini",
                "xxx GBN: BrowserCount = 1",
                "xxx GBN: (EExtern = Internet Explorer 4)",
                "xxx GBN: BrowserCount = 2",
                "xxx GBN: (EExtern = Internet Explorer)",
                "xxx GBN: Browser = IE5",
            }));
}

TEST_F(IdentificationTest, TheLastMatchingEntryDecides) {
  struct Case {
    const char* what;
    std::vector<CatalogueEntry> entries;
    std::string path;
    std::string version;
    std::string code;
    std::vector<std::string> matches;
  };
  const CatalogueEntry ie4 = {"IEXPLORE", "4", "ie4", "IE 4"};
  const CatalogueEntry ie5 = {"IEXPLORE", "5", "IE5", "IE 5"};
  const Case cases[] = {
      {"version 5", {ie4, ie5}, InternetExplorer, "5.00.2614.3500", "IE5", {"2"}},
      {"version 4", {ie4, ie5}, InternetExplorer, "4.72.3110.8", "IE4", {"1"}},
      {"later entry for every version",
       {ie4, {"IEXPLORE", "", "IE5", "IE"}},
       InternetExplorer,
       "4.72.3110.8",
       "IE5",
       {"1", "2"}},
      {"version prefix, not anywhere", {ie4}, InternetExplorer, "5.4", "ONB", {}},
      {"version 40.1 begins with 4", {ie4}, InternetExplorer, "40.1", "IE4", {"1"}},
      {"a lower-case version", {{"IEXPLORE", "4.0B", "IE4", "IE"}}, InternetExplorer, "4.0b2", "IE4",
       {"1"}},
      {"a lower-case EVersie", {{"IEXPLORE", "4.0b", "IE4", "IE"}}, InternetExplorer, "4.0B2", "IE4",
       {"1"}},
      {"code cut to three letters",
       {{"NETSCAPE", "", "Netscape4", "Navigator"}},
       "C:\\Netscape\\netscape.exe",
       "4.7",
       "NET",
       {"1"}},
      {"name in a folder of the path",
       {{"NETSCAPE", "", "NN4", "Navigator"}},
       "C:\\Netscape\\Program\\browser.exe",
       "",
       "NN4",
       {"1"}},
      {"an entry after a gap is never seen",
       {{"", "", "", ""}, {"IEXPLORE", "", "IE5", "IE"}},
       InternetExplorer,
       "5.0",
       "ONB",
       {}},
      {"unsupported", {{"OPERA", "", "na", "Opera"}}, "C:\\Opera\\opera.exe", "3.6", "NA", {"1"}},
      {"no code", {{"OPERA", "", "", "Opera"}}, "C:\\Opera\\opera.exe", "3.6", "", {"1"}},
      {"no version resource",
       {ie4, {"IEXPLORE", "", "IE3", "IE"}},
       InternetExplorer,
       "",
       "IE3",
       {"2"}},
  };
  for (const Case& c : cases) {
    WindowsModel fresh;
    InstallApi(fresh);
    BrowserIniFile.clear();
    fresh.AddFile(CdCatalogue, Catalogue(c.entries));
    fresh.AddFile(c.path, "MZ");
    if (!c.version.empty()) fresh.SetVersionResource(c.path, ProductVersion(c.version));
    const auto [code, matches] = Identify(c.path);
    EXPECT_EQ(code, c.code) << c.what;
    EXPECT_EQ(matches, c.matches) << c.what;
  }
  InstallApi(windows);
}

TEST_F(IdentificationTest, WithoutACatalogueEveryBrowserIsUnknown) {
  AddBrowser(windows, InternetExplorer, "5.0");
  EXPECT_EQ(Identify(InternetExplorer).first, "ONB");
}

class WindowSizeTest : public DetectionTest {};

TEST_F(WindowSizeTest, TheDesktopIsTheWorkArea) {
  windows.SetWorkArea({0, 0, 800, 572});
  std::int32_t height = -1;
  std::int32_t width = -1;
  EXPECT_TRUE(GetDesktopSize(height, width));
  EXPECT_EQ(height, 572);
  EXPECT_EQ(width, 800);

  windows.SetWorkArea({-2147483647 - 1, 100, 2147483647, 50});
  EXPECT_TRUE(GetDesktopSize(height, width));
  EXPECT_EQ(height, -50);
  EXPECT_EQ(width, -1) << "wrapped as a 32-bit machine word";

  windows.FailScreenQueries();
  EXPECT_FALSE(GetDesktopSize(height, width));
  EXPECT_EQ(height, 0);
  EXPECT_EQ(width, 0);
}

TEST_F(WindowSizeTest, TheWindowIsThePagePlusCaptionExtrasAndNavigatorBorders) {
  windows.AddFile(CdCatalogue, Catalogue({},
                                         "[IE4]\r\nExtraH=150\r\nExtraW=20\r\n"
                                         "[NN4]\r\nExtraH=160\r\nExtraW=30\r\n"
                                         "[NN3]\r\nExtraH=-100\r\nExtraW=veel\r\n"
                                         "[HUG]\r\nExtraH=0x7FFFFFFF\r\nExtraW=2147483647\r\n"));
  windows.SetWindowMetrics(4, 18);
  struct Case {
    const char* code;
    std::int32_t height;
    std::int32_t width;
  };
  const Case cases[] = {
      {"IE4", 648, 660},
      {"NN4", 666, 678},
      {"NN4 Gold", 666, 678},
      {"NN3", 406, 648},
      {"OP5", 498, 640},
      {"ONB", 506, 648},
      {"HUGE", -2147483647 + 496, -2147483647 + 638},
  };
  for (const Case& c : cases) {
    std::int32_t height = 0;
    std::int32_t width = 0;
    EXPECT_TRUE(GetBrowserSize(c.code, height, width)) << c.code;
    EXPECT_EQ(height, c.height) << c.code;
    EXPECT_EQ(width, c.width) << c.code;
  }
  EXPECT_EQ(windows.MetricsSizeAsked(), 340u) << "the record of Windows before Vista";
}

TEST_F(WindowSizeTest, WithoutMetricsTheSizeCountsNoCaptionOrBorders) {
  windows.FailScreenQueries();
  std::int32_t height = 0;
  std::int32_t width = 0;
  EXPECT_FALSE(GetBrowserSize("NN4", height, width));
  EXPECT_EQ(height, 480);
  EXPECT_EQ(width, 640);
}

}  // namespace
}  // namespace tarvo
