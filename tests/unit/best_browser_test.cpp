// The search of drive C: for the most preferred browser of the catalogue.
#include "registration/best_browser.h"

#include <gtest/gtest.h>

#include "detection_test.h"
#include "platform/run_control.h"

namespace tarvo {
namespace {

const char* const InternetExplorer = "C:\\Program Files\\Internet Explorer\\iexplore.exe";
const char* const Navigator = "C:\\Netscape\\Program\\netscape.exe";

class BestBrowserTest : public DetectionTest {
 protected:
  // The search's own lines, without those of identification.
  std::vector<std::string> SearchLines() {
    std::vector<std::string> lines;
    for (const std::string& line : TakeLines()) {
      if (line.rfind("xxx GBB: ", 0) == 0 || line.rfind("Exception: ", 0) == 0) {
        lines.push_back(line);
      }
    }
    return lines;
  }

  // What the walk of drive C: finds for the entries' names.
  static std::vector<std::string> Found(WindowsModel& windows,
                                        const std::vector<CatalogueEntry>& entries) {
    BrowserExeList names;
    for (const CatalogueEntry& entry : entries) names.Add(std::string(entry.exeName) + ".EXE");
    std::vector<std::string> found;
    SearchBrowserFiles("C:\\", names, found);
    EXPECT_EQ(windows.OpenHandleCount(), 0u);
    return found;
  }
};

TEST_F(BestBrowserTest, ListsEachSupportedNameOnceAndTakesTheMostPreferredCode) {
  windows.AddFile(CdCatalogue, Catalogue({{"IEXPLORE", "4", "IE4", "Internet Explorer 4"},
                                          {"iexplore", "5", "IE5", "Internet Explorer 5"},
                                          {"NETSCAPE", "", "NN4", "Navigator 4"},
                                          {"OPERA", "", "na", "Opera 3"},
                                          {"Opera", "4", "OP4", "Opera 4"},
                                          {"ARENA", "", "NA", "Arena"},
                                          {"LYNX", "", "Na", "Lynx"},
                                          {"MOSAIC", "", "", "Mosaic"}},
                                         "[Browservolgorde]\r\nVoorkeur=NN3 IE3 NN4 IE4 IE5\r\n"));
  AddBrowser(windows, InternetExplorer, "4.72.3110.8");
  AddBrowser(windows, Navigator, "4.7");
  AddBrowser(windows, "C:\\Arena\\arena.exe", "1.0");
  AddBrowser(windows, "C:\\Mosaic\\mosaic.exe", "2.0");

  EXPECT_EQ(GetBestBrowser(), InternetExplorer);
  EXPECT_EQ(SearchLines(),
            (std::vector<std::string>{
                "xxx GBB: Count = 9",
                "xxx GBB: (aantal .exe in lijst = 4)",
                "xxx GBB: (aantal gevonden browsers = 3)",
                "xxx GBB: BrowserVoorkeur = NN3 IE3 NN4 IE4 IE5",
                "xxx GBB: BrowserIntern = ",
                "xxx GBB: Score = 0",
                "xxx GBB: BrowserIntern = NN4",
                "xxx GBB: Score = 9",
                "xxx GBB: BrowserIntern = IE4",
                "xxx GBB: Score = 13",
                "xxx GBB: BesteScore = 13",
                "xxx GBB: BesteBrowser = 2",
                "xxx GBB: (ofwel C:\\Program Files\\Internet Explorer\\iexplore.exe)",
            }));
  EXPECT_FALSE(LoggedAProblem());
  EXPECT_EQ(windows.OpenHandleCount(), 0u);
}

TEST_F(BestBrowserTest, OnlyACodeInThePreferenceTextScores) {
  struct Case {
    const char* what;
    const char* preference;
    std::string best;
    std::vector<std::string> scores;
  };
  const Case cases[] = {
      {"a tie keeps the first found", "IE4 NN4 IE5", "C:\\A\\iexplore.exe", {"9", "9"}},
      {"lower case never matches", "ie4 nn4 ie5", "", {"0", "0"}},
      {"no preference", "", "", {"0", "0"}},
      {"inside a longer piece", "XIE5X", "C:\\A\\iexplore.exe", {"2", "2"}},
  };
  for (const Case& c : cases) {
    WindowsModel fresh;
    InstallApi(fresh);
    BrowserIniFile.clear();
    fresh.AddFile(CdCatalogue,
                  Catalogue({{"IEXPLORE", "", "IE5", "IE"}},
                            std::string("[Browservolgorde]\r\nVoorkeur=") + c.preference + "\r\n"));
    AddBrowser(fresh, "C:\\A\\iexplore.exe", "5.0");
    AddBrowser(fresh, "C:\\B\\IEXPLORE.EXE", "5.5");
    TakeLines();
    EXPECT_EQ(GetBestBrowser(), c.best) << c.what;
    std::vector<std::string> scores;
    for (const std::string& line : SearchLines()) {
      if (line.rfind("xxx GBB: Score = ", 0) == 0) scores.push_back(line.substr(17));
    }
    EXPECT_EQ(scores, c.scores) << c.what;
  }
  InstallApi(windows);
}

TEST_F(BestBrowserTest, WithoutACatalogueTheWalkFindsNothing) {
  AddBrowser(windows, InternetExplorer, "5.0");
  EXPECT_EQ(GetBestBrowser(), "");
  EXPECT_EQ(SearchLines(), (std::vector<std::string>{
                               "xxx GBB: Count = 1",
                               "xxx GBB: (aantal .exe in lijst = 0)",
                               "xxx GBB: (aantal gevonden browsers = 0)",
                               "xxx GBB: BrowserVoorkeur = ",
                               "xxx GBB: BesteScore = 0",
                               "xxx GBB: BesteBrowser = -1",
                           }));
}

TEST_F(BestBrowserTest, TheWalkFindsFilesOnlyAndFollowsNoDirectoryLink) {
  windows.AddFile("C:\\Apps\\Hidden\\netscape.exe", "MZ", FileAttributeHidden);
  windows.AddFile("C:\\Apps\\Hidden\\Deeper\\netscape.exe", "MZ");
  windows.AddFile("C:\\Apps\\Locked\\NetScape.Exe", "MZ", FileAttributeReadOnly);
  windows.AddFolder("C:\\Apps\\NETSCAPE.EXE");
  windows.AddFile("C:\\Apps\\NETSCAPE.EXE\\netscape.exe", "MZ");
  windows.AddFile("C:\\Apps\\.hidden\\netscape.exe", "MZ");
  windows.AddFile("C:\\Apps\\Closed\\netscape.exe", "MZ");
  windows.DenyListing("C:\\Apps\\Closed");
  windows.AddFile("C:\\Apps\\Old\\netscape.exe.exe", "MZ");
  windows.AddFile("C:\\Apps\\Other\\mosaic.exe", "MZ");
  windows.AddDirectoryLink("C:\\Apps\\Loop", "C:\\");
  windows.AddDirectoryLink("C:\\Apps\\NETSCAPE.EXE\\Back", "C:\\Apps");

  // Depth first: a folder's contents before the entries that follow it.
  EXPECT_EQ(Found(windows, {{"NETSCAPE", "", "NN4", "Navigator"}}),
            (std::vector<std::string>{
                "C:\\Apps\\Hidden\\Deeper\\netscape.exe", "C:\\Apps\\Hidden\\netscape.exe",
                "C:\\Apps\\Locked\\NetScape.Exe", "C:\\Apps\\NETSCAPE.EXE\\netscape.exe"}));
}

TEST_F(BestBrowserTest, NamesMatchWithoutRegardToCaseInAnyUserLocale) {
  struct Case {
    const char* what;
    std::function<void(WindowsModel&)> arrange;
  };
  const Case cases[] = {
      {"Dutch", [](WindowsModel&) {}},
      {"Turkish", [](WindowsModel& w) { w.SetUserLocale(WindowsModel::TurkishLocale); }},
      {"no invariant locale", [](WindowsModel& w) { w.LackInvariantLocale(); }},
      {"Turkish without invariant locale",
       [](WindowsModel& w) {
         w.SetUserLocale(WindowsModel::TurkishLocale);
         w.LackInvariantLocale();
       }},
  };
  for (const Case& c : cases) {
    WindowsModel fresh;
    InstallApi(fresh);
    AddBrowser(fresh, InternetExplorer, "5.0");
    c.arrange(fresh);
    EXPECT_EQ(
        Found(fresh, {{"OPERA", "", "", ""}, {"IEXPLORE", "", "", ""}, {"ARENA", "", "", ""}}),
        std::vector<std::string>{InternetExplorer})
        << c.what;
  }
  InstallApi(windows);
}

TEST_F(BestBrowserTest, ALookupComparesOnceAStepOfTheBinarySearch) {
  BrowserExeList names;
  for (const char* name : {"ARENA.EXE", "IEXPLORE.EXE", "MOSAIC.EXE", "NETSCAPE.EXE", "OPERA.EXE",
                           "MOZILLA.EXE", "LYNX.EXE"}) {
    names.Add(name);
  }
  const std::pair<const char*, bool> lookups[] = {
      {"ARENA.EXE", true},    {"iexplore.exe", true}, {"LYNX.EXE", true}, {"Opera.Exe", true},
      {"BESTAND.DAT", false}, {"ZZZ.EXE", false},     {"A", false},
  };
  for (const auto& [name, listed] : lookups) {
    const std::size_t before = windows.CompareStringCalls();
    EXPECT_EQ(names.Contains(name), listed) << name;
    // Seven names: three steps at most, whether the name is there or not.
    EXPECT_LE(windows.CompareStringCalls() - before, 3u) << name;
  }
}

TEST_F(BestBrowserTest, AnErrorEndsTheSearchWithoutAResultButAStopPassesThrough) {
  windows.AddFile(CdCatalogue, Catalogue({{"IEXPLORE", "", "IE5", "IE"}}));
  windows.OnFindFirstFile([](const std::string& pattern) {
    if (pattern == "C:\\*.*") throw std::bad_alloc();
  });
  EXPECT_EQ(GetBestBrowser(), "");
  const auto lines = SearchLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "Exception: std::bad_alloc");
  EXPECT_FALSE(LoggedAProblem());
  EXPECT_EQ(windows.OpenHandleCount(), 0u);

  windows.OnFindFirstFile([](const std::string& pattern) {
    if (pattern == "C:\\*.*") throw RunEnded{0};
  });
  EXPECT_THROW(GetBestBrowser(), RunEnded);
}

}  // namespace
}  // namespace tarvo
