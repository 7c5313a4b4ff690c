// tarvo-check against the model: one deliberately broken master per case,
// the launcher's verdict on browsers, and the command line.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>

#include "browser/browser_identification.h"
#include "check/check_command.h"
#include "check/identify.h"
#include "check/master_check.h"
#include "check/report.h"
#include "platform/json_string.h"
#include "detection_test.h"

namespace tarvo {
namespace {

const char* const Root = "D:\\";
const char* const Checker = "C:\\Tools\\tarvo-check.exe";

// Line numbers matter: the cases name them.
const char* const GoodCatalogue =
    "[Informatie]\r\n"                       // 1
    "Versie=3\r\n"                           // 2
    "[Browserherkenning]\r\n"                // 3
    "EXEnaam1=IEXPLORE\r\n"                  // 4
    "EVersie1=4\r\n"                         // 5
    "EIntern1=IE4\r\n"                       // 6
    "EExtern1=Explorer 4\r\n"                // 7
    "EXEnaam2=IEXPLORE\r\n"                  // 8
    "EVersie2=5\r\n"                         // 9
    "EIntern2=IE5\r\n"                       // 10
    "EExtern2=Explorer 5\r\n"                // 11
    "EXEnaam3=NETSCAPE\r\n"                  // 12
    "EVersie3=4\r\n"                         // 13
    "EIntern3=NN4\r\n"                       // 14
    "EExtern3=Navigator 4\r\n"               // 15
    "EXEnaam4=OPERA\r\n"                     // 16
    "EVersie4=\r\n"                          // 17
    "EIntern4=NA\r\n"                        // 18
    "EExtern4=Opera\r\n"                     // 19
    "[Browservolgorde]\r\n"                  // 20
    "Voorkeur=IE4 NN4 IE5\r\n"               // 21
    "[IE4]\r\nExtraH=150\r\nExtraW=20\r\n"   // 22-24
    "[IE5]\r\nExtraH=142\r\nExtraW=21\r\n"   // 25-27
    "[NN4]\r\nExtraH=160\r\nExtraW=30\r\n";  // 28-30

// Each placeholder as the first comment of its line, line ends of every
// kind, ordinary comments and a script's comment around the code.
const char* const GoodTemplate =
    "<html><head><script>\r\n"                         // 1
    "<!--\r\n"                                         // 2
    "var x = <!--INTFACEX-->;\r\n"                     // 3
    "var y = <!--INTFACEY-->; // <!-- ordinary -->\n"  // 4
    "var page = \"<!--TEMPLATE-->\";\r"                // 5
    "var music = \"<!--MUZIEK-->\";\r\n"               // 6
    "var track = \"<!--NUMMER-->\";\r\n"               // 7
    "var volume = \"<!--VOLUME-->\";\r\n"              // 8
    "// -->\r\n"                                       // 9
    "</script></head><body><!-- kop --><b>x</b>\r\n"   // 10
    "<!--STATUSTEKST--> <!-- de voet -->\r\n"          // 11
    "</body></html>\r\n";                              // 12

const char* const GoodAutorun =
    "[autorun]\r\n"               // 1
    "open=tarvo32.exe\r\n"        // 2
    "icon=tarvo32.exe\r\n"        // 3
    "label=Lumora cover-cd\r\n";  // 4

const char* const Pages[] = {
    "intface\\hoofd.htm",
    "intface\\frame.htm",
    "intface\\template.htm",
    "intface\\eenvoud\\bureau.htm",
    "intface\\eenvoud\\oudebrow.htm",
    "intface\\eenvoud\\overzich.htm",
};

VersionResource LauncherVersion(const std::string& version) {
  return SingleLanguageVersion(0x0413, 0x04E4, {{"FileVersion", version}});
}

struct Master {
  std::string catalogue = GoodCatalogue;
  std::string page = GoodTemplate;
  std::string autorun = GoodAutorun;
  std::vector<std::string> files{std::begin(Pages), std::end(Pages)};
  bool launcher = true;
  VersionResource launcherVersion = LauncherVersion("1.52.0.0");
};

using Change = std::function<void(Master&)>;

// The catalogue (or the template) with one text replaced by another.
Change Edit(const std::string& from, const std::string& to,
            std::string Master::*file = &Master::catalogue) {
  return [from, to, file](Master& master) {
    const auto at = (master.*file).find(from);
    ASSERT_NE(at, std::string::npos) << from;
    (master.*file).replace(at, from.size(), to);
  };
}

Change EditPage(const std::string& from, const std::string& to) {
  return Edit(from, to, &Master::page);
}

Change EditAutorun(const std::string& from, const std::string& to) {
  return Edit(from, to, &Master::autorun);
}

// autorun.inf as UTF-16 with its byte-order mark, as Notepad saves
// "Unicode".
Change AutorunAsUtf16() {
  return [](Master& master) {
    std::string text = "\xFF\xFE";
    for (const char c : master.autorun) text += {c, '\0'};
    master.autorun = text;
  };
}

Change Without(const std::string& file) {
  return [file](Master& master) {
    if (file == "browsers.ini") master.catalogue.clear();
    if (file == "autorun.inf") master.autorun.clear();
    if (file == "tarvo32.exe") master.launcher = false;
    master.files.erase(std::remove(master.files.begin(), master.files.end(), file),
                       master.files.end());
  };
}

// Lays the master on drive D: of `windows`, beside the checker's own file.
void Lay(WindowsModel& windows, const Master& master) {
  windows.SetModuleFileName(Checker);
  windows.AddFile(Checker, "MZ");
  windows.SetVersionResource(Checker, LauncherVersion("1.52.0.0"));
  for (const std::string& page : master.files) {
    windows.AddFile(Root + page, page == "intface\\template.htm" ? master.page : "<html></html>");
  }
  if (!master.catalogue.empty()) windows.AddFile("D:\\intface\\browsers.ini", master.catalogue);
  if (!master.autorun.empty()) windows.AddFile("D:\\autorun.inf", master.autorun);
  if (master.launcher) {
    windows.AddFile("D:\\tarvo32.exe", "MZ");
    windows.SetVersionResource("D:\\tarvo32.exe", master.launcherVersion);
  }
}

class CheckTest : public DetectionTest {
 protected:
  // The findings on the good master after `change`, in a model of its own.
  Findings FindingsOf(const Change& change) {
    Master master;
    change(master);
    WindowsModel fresh;
    Lay(fresh, master);
    InstallApi(fresh);
    const Findings findings = CheckMaster(Root);
    InstallApi(windows);
    return findings;
  }

  CheckStatus Run(const std::vector<std::string>& arguments) {
    out_.str("");
    error_.str("");
    return RunTarvoCheck(arguments, out_, error_);
  }

  std::ostringstream out_;
  std::ostringstream error_;
};

std::string Codes(const Findings& findings) {
  std::string codes;
  for (const Finding& finding : findings) codes += finding.code + " ";
  return codes;
}

TEST_F(CheckTest, ABrokenMasterGivesItsOneFinding) {
  struct Case {
    const char* what;
    Change change;
    const char* code;
    const char* file;
    int line;
  };
  const char* const ini = "intface\\browsers.ini";
  const char* const page = "intface\\template.htm";
  const Case cases[] = {
      {"frame page missing", Without("intface\\frame.htm"), "missing-file", "intface\\frame.htm",
       0},
      {"an eenvoud page missing", Without("intface\\eenvoud\\overzich.htm"), "missing-file",
       "intface\\eenvoud\\overzich.htm", 0},
      {"no catalogue", Without("browsers.ini"), "missing-file", ini, 0},
      {"no template", Without("intface\\template.htm"), "missing-file", page, 0},
      {"no launcher, nor its icon",
       [](Master& m) {
         Without("tarvo32.exe")(m);
         EditAutorun("icon=tarvo32.exe\r\n", "")(m);
       },
       "missing-file", "tarvo32.exe", 0},
      {"launcher without FileVersion",
       [](Master& m) { m.launcherVersion = ProductVersion("1.52.0.0"); }, "launcher-version",
       "tarvo32.exe", 0},
      {"older launcher", [](Master& m) { m.launcherVersion = LauncherVersion("1.9.0.0"); },
       "launcher-version", "tarvo32.exe", 0},
      {"version not a number", Edit("Versie=3", "Versie=drie"), "catalogue-version", ini, 2},
      {"version 0", Edit("Versie=3", "Versie=0"), "catalogue-version", ini, 2},
      {"no version", Edit("Versie=3\r\n", ""), "catalogue-version", ini, 1},
      {"entry after a gap",
       Edit("EXEnaam4=OPERA\r\nEVersie4=\r\nEIntern4=NA\r\nEExtern4",
            "EXEnaam6=OPERA\r\nEVersie6=\r\nEIntern6=NA\r\nEExtern6"),
       "entry-after-gap", ini, 16},
      {"empty name ends the list", Edit("EXEnaam4=OPERA", "EXEnaam4="), "exe-empty", ini, 16},
      {"name with .exe", Edit("EXEnaam3=NETSCAPE", "EXEnaam3=netscape.exe"), "exe-suffix", ini, 12},
      {"empty code", Edit("EIntern3=NN4", "EIntern3="), "code-empty", ini, 14},
      {"code of four letters", Edit("EIntern3=NN4", "EIntern3=NN4x"), "code-truncated", ini, 14},
      {"later entry for every version", Edit("EVersie2=5", "EVersie2="), "entry-shadowed", ini, 4},
      {"later entry with a shorter name",
       Edit("EXEnaam2=IEXPLORE\r\nEVersie2=5", "EXEnaam2=EXPLORE\r\nEVersie2=4"), "entry-shadowed",
       ini, 4},
      {"code not in the preference", Edit("Voorkeur=IE4 NN4 IE5", "Voorkeur=IE4 IE5"),
       "code-not-preferred", ini, 14},
      {"lower case in the preference", Edit("Voorkeur=IE4 NN4 IE5", "Voorkeur=IE4 NN4 IE5 ie6"),
       "preference-lowercase", ini, 21},
      {"code inside another",
       [](Master& m) {
         Edit("EIntern1=IE4", "EIntern1=IE")(m);
         Edit("[IE4]", "[IE]")(m);
         Edit("Voorkeur=IE4 NN4 IE5", "Voorkeur=IE5 NN4 IE")(m);
       },
       "preference-overlap", ini, 21},
      {"size not a number", Edit("ExtraW=21", "ExtraW=21px"), "size-not-number", ini, 27},
      {"no size section", Edit("[NN4]\r\nExtraH=160\r\nExtraW=30\r\n", ""), "size-section-missing",
       ini, 14},
      {"section twice", Edit("ExtraW=30\r\n", "ExtraW=30\r\n[ie5]\r\nExtraH=1\r\n"),
       "section-repeated", ini, 31},
      {"key twice", Edit("EExtern4=Opera\r\n", "EExtern4=Opera\r\nEIntern4=IE5\r\n"),
       "key-repeated", ini, 20},
      {"placeholder in lower case", EditPage("<!--INTFACEY-->", "<!--intfacey-->"),
       "placeholder-case", page, 4},
      {"placeholder with spaces", EditPage("<!--NUMMER-->", "<!-- NUMMER -->"),
       "placeholder-spaces", page, 7},
      {"placeholder behind a comment", EditPage("<!-- kop -->", "<!-- kop --><!--VOLUME-->"),
       "placeholder-not-first", page, 10},
      {"two placeholders on a line", EditPage("<!--MUZIEK-->\";", "<!--MUZIEK-->\"; <!--NUMMER-->"),
       "placeholder-not-first", page, 6},
      {"misspelt placeholder", EditPage("<!-- kop -->", "<!--KOP-->"), "placeholder-unknown", page,
       10},
      {"placeholder missing", EditPage("\"<!--VOLUME-->\"", "7"), "placeholder-missing", page, 0},
      {"no autorun.inf", Without("autorun.inf"), "autorun-open", "autorun.inf", 0},
      {"autorun without open=", EditAutorun("open=tarvo32.exe\r\n", ""), "autorun-open",
       "autorun.inf", 1},
      {"autorun opens a copy in a folder",
       [](Master& m) {
         EditAutorun("open=tarvo32.exe\r\nicon=tarvo32.exe",
                     "open=intface\\tarvo32.exe /DEBUG\r\nicon=intface\\tarvo32.exe")(m);
         m.files.push_back("intface\\tarvo32.exe");
       },
       "autorun-open", "autorun.inf", 2},
      {"autorun starts only through shellexecute=",
       EditAutorun("open=tarvo32.exe", "shellexecute=tarvo32.exe"), "autorun-open", "autorun.inf",
       2},
      {"autorun opens a page through shellexecute= alone",
       EditAutorun("open=tarvo32.exe", "shellexecute=intface\\hoofd.htm"), "autorun-open",
       "autorun.inf", 2},
      {"autorun's shellexecute= names another file than open=",
       EditAutorun("label=", "shellexecute=intface\\hoofd.htm\r\nlabel="), "autorun-open",
       "autorun.inf", 4},
      {"autorun asks for AutoPlay", EditAutorun("label=", "UseAutoPlay=1\r\nlabel="),
       "autorun-autoplay", "autorun.inf", 4},
      {"autorun with a section for one processor",
       [](Master& m) { m.autorun += "[autorun.x86]\r\nopen=intface\\setup.exe\r\n"; },
       "autorun-architecture", "autorun.inf", 5},
      {"autorun with a UTF-8 mark before [autorun]",
       [](Master& m) { m.autorun = "\xEF\xBB\xBF" + m.autorun; }, "autorun-bom", "autorun.inf", 1},
      {"autorun in UTF-16", AutorunAsUtf16(), "autorun-utf16", "autorun.inf", 0},
      {"autorun in UTF-8 without its mark",
       EditAutorun("label=Lumora cover-cd", "label=Lumora caf\xC3\xA9"), "autorun-utf8",
       "autorun.inf", 4},
      {"autorun's icon by a wildcard", EditAutorun("icon=tarvo32.exe", "icon=*.exe"),
       "autorun-icon", "autorun.inf", 3},
      {"autorun's icon in a folder",
       [](Master& m) {
         EditAutorun("icon=tarvo32.exe", "icon=intface\\lumora_1.ico")(m);
         m.files.push_back("intface\\lumora_1.ico");
       },
       "autorun-icon-folder", "autorun.inf", 3},
      {"autorun's icon missing", EditAutorun("icon=tarvo32.exe", "icon=lumora.ico,1"),
       "autorun-icon", "autorun.inf", 3},
      {"autorun's icon under a long name",
       [](Master& m) {
         EditAutorun("icon=tarvo32.exe", "icon=lumora-cd.ico")(m);
         m.files.push_back("lumora-cd.ico");
       },
       "name-not-8.3", "autorun.inf", 3},
      {"autorun's icon in a folder with a dot",
       [](Master& m) {
         EditAutorun("icon=tarvo32.exe", "icon=intface.v2\\lumora.ico")(m);
         m.files.push_back("intface.v2\\lumora.ico");
       },
       "autorun-icon-folder name-not-8.3", "autorun.inf", 3},
  };
  // A case of several codes has them all on its file and line.
  for (const Case& c : cases) {
    const Findings findings = FindingsOf(c.change);
    EXPECT_EQ(Codes(findings), std::string(c.code) + " ") << c.what;
    for (const Finding& finding : findings) {
      EXPECT_EQ(finding.file, c.file) << c.what;
      EXPECT_EQ(finding.line, c.line) << c.what;
      EXPECT_FALSE(finding.message.empty()) << c.what;
    }
  }
}

TEST_F(CheckTest, WhatTheLauncherTakesInItsStrideIsNoFinding) {
  const std::pair<const char*, Change> cases[] = {
      {"the good master", [](Master&) {}},
      {"comments and blank lines",
       Edit("[Browservolgorde]\r\n", "; voorkeur\r\n\r\n[Browservolgorde]\r\n; oud\r\n")},
      {"names in any case and with blanks",
       Edit("[IE5]\r\nExtraH=142", "[ ie5 ]\r\n  extrah = 142 ")},
      {"a code first standing alone, later inside another",
       [](Master& m) {
         Edit("EIntern1=IE4", "EIntern1=IE")(m);
         Edit("[IE4]", "[IE]")(m);
         Edit("Voorkeur=IE4 NN4 IE5", "Voorkeur=IE NN4 IE5")(m);
       }},
      {"an unsupported entry named with .exe, without size or preference",
       Edit("EXEnaam4=OPERA", "EXEnaam4=opera.exe")},
      {"hexadecimal sizes and negative ones",
       Edit("ExtraH=160\r\nExtraW=30", "ExtraH=0xA0\r\nExtraW=-3")},
      {"ordinary comments of every shape",
       EditPage("<!-- de voet -->", "<!---->, <!--html-->, <!-- -->, <!--Kop 2-->")},
      {"a newer launcher", [](Master& m) { m.launcherVersion = LauncherVersion("1.100.0.0"); }},
      {"autorun's names quoted, in capitals, from the root, with a switch and an icon number",
       EditAutorun("open=tarvo32.exe\r\nicon=tarvo32.exe",
                   "OPEN = \"\\TARVO32.EXE\" /DEBUG\r\nIcon=\"tarvo32.exe,-3\"")},
      {"autorun's icon number after a comma and a blank",
       EditAutorun("icon=tarvo32.exe", "icon=tarvo32.exe, 1")},
      {"autorun's icon quoted, with blanks around its number",
       EditAutorun("icon=tarvo32.exe", "icon = \"tarvo32.exe\" ,0")},
      {"autorun's program from the current folder",
       EditAutorun("open=tarvo32.exe", "open=.\\tarvo32.exe")},
      {"autorun's program without .exe", EditAutorun("open=tarvo32.exe", "open=tarvo32")},
      {"autorun's program and switch apart by a tab",
       EditAutorun("open=tarvo32.exe", "open=tarvo32.exe\t/DEBUG")},
      {"autorun with shellexecute= naming the launcher too, and AutoPlay off",
       EditAutorun("label=", "shellexecute=TARVO32.EXE /DEBUG\r\nUseAutoPlay=0\r\nlabel=")},
      {"autorun with a UTF-8 mark before a comment",
       [](Master& m) { m.autorun = "\xEF\xBB\xBF; Lumora\r\n" + m.autorun; }},
      {"autorun's label in Windows-1252", EditAutorun("cover-cd", "caf\xE9")},
      {"autorun in UTF-8 beyond ASCII only in a comment",
       [](Master& m) { m.autorun = "\xEF\xBB\xBF; caf\xC3\xA9\r\n" + m.autorun; }},
  };
  for (const auto& [what, change] : cases) {
    EXPECT_EQ(Codes(FindingsOf(change)), "") << what;
  }
}

TEST_F(CheckTest, FindingsComeInTheOrderOfFilesAndLines) {
  const Findings findings = FindingsOf([](Master& m) {
    Without("intface\\hoofd.htm")(m);
    Edit("Voorkeur=IE4 NN4 IE5", "Voorkeur=ie4 NN4")(m);
    Edit("Versie=3", "Versie=")(m);
  });
  std::vector<std::pair<std::string, int>> places;
  for (const Finding& finding : findings) places.emplace_back(finding.code, finding.line);
  EXPECT_EQ(places, (std::vector<std::pair<std::string, int>>{{"catalogue-version", 2},
                                                              {"code-not-preferred", 6},
                                                              {"code-not-preferred", 10},
                                                              {"preference-lowercase", 21},
                                                              {"missing-file", 0}}));
}

TEST_F(CheckTest, IdentifyGivesTheLaunchersCodeAndWindow) {
  Lay(windows, Master());
  windows.SetWindowMetrics(4, 18);
  BrowserIniFile = "D:\\intface\\browsers.ini";
  struct Case {
    const char* path;
    const char* version;
    int entry;
    const char* code;
    std::int32_t width;
    std::int32_t height;
  };
  const Case cases[] = {
      {"C:\\IE\\iexplore.exe", "5.00.2614.3500", 2, "IE5", 640 + 21, 480 + 18 + 142},
      {"C:\\IE\\iexplore.exe", "4.72", 1, "IE4", 640 + 20, 480 + 18 + 150},
      {"C:\\Netscape\\Program\\netscape.exe", "4.7", 3, "NN4", 640 + 30 + 8, 480 + 18 + 160 + 8},
      {"C:\\Opera\\opera.exe", "3.6", 4, "NA", 0, 0},
      {"C:\\IE\\iexplore.exe", "6.0", 0, "ONB", 0, 0},
      {"C:\\IE\\iexplore.exe", "", 0, "ONB", 0, 0},
  };
  for (const Case& c : cases) {
    // Once as the file's own version, as the launcher reads it, once given.
    AddBrowser(windows, c.path, c.version);
    const std::string launcherCode = GetBrowserName(c.path);
    for (const auto& version :
         {std::optional<std::string>(), std::optional<std::string>(c.version)}) {
      const Identification browser = IdentifyBrowser(c.path, version);
      EXPECT_EQ(browser.entry, c.entry) << c.path << " " << c.version;
      EXPECT_EQ(browser.code, c.code) << c.path << " " << c.version;
      EXPECT_EQ(browser.code, launcherCode) << c.path << " " << c.version;
      EXPECT_EQ(browser.sized, c.width != 0) << c.path << " " << c.version;
      EXPECT_EQ(browser.width, c.width) << c.path << " " << c.version;
      EXPECT_EQ(browser.height, c.height) << c.path << " " << c.version;
    }
  }
}

TEST_F(CheckTest, TheCommandLine) {
  Lay(windows, Master());
  windows.SetWindowMetrics(4, 18);
  EXPECT_EQ(Run({"D:\\"}), CheckClean);
  EXPECT_EQ(out_.str(), "No findings.\n");
  EXPECT_EQ(Run({"--json", "D:"}), CheckClean);
  EXPECT_EQ(out_.str(), "{\"findings\": []}\n");

  EXPECT_EQ(Run({"identify", "C:\\IE\\IEXPLORE.EXE", "--version", "5.5", "--master", "D:\\"}),
            CheckClean);
  EXPECT_EQ(out_.str(),
            "version: 5.5\nentry: 2 (Explorer 5)\ncode: IE5\nwindow: 661 x 640 pixels\n");
  EXPECT_EQ(Run({"identify", "C:\\Opera\\opera.exe", "--master", "D:\\"}), CheckClean);
  EXPECT_EQ(out_.str(),
            "version: (none)\nentry: 4 (Opera)\ncode: NA\n"
            "window: none; the launcher looks for a better browser on drive C:\n");

  for (const std::vector<std::string>& wrong :
       std::vector<std::vector<std::string>>{{},
                                             {"--fix", "D:\\"},
                                             {"D:\\", "E:\\"},
                                             {"E:\\nothing"},
                                             {"identify"},
                                             {"identify", "x.exe", "--version"},
                                             {"identify", "x.exe", "--master", "E:\\none"}}) {
    EXPECT_EQ(Run(wrong), CheckBadUsage) << ::testing::PrintToString(wrong);
    EXPECT_EQ(out_.str(), "");
    EXPECT_NE(error_.str().find("usage: tarvo-check"), std::string::npos);
  }
  EXPECT_EQ(Run({"--help"}), CheckClean);
  EXPECT_EQ(out_.str().rfind("usage: tarvo-check", 0), 0u);
}

TEST_F(CheckTest, FindingsAsTextAndAsJson) {
  Master master;
  Edit("Versie=3", "Versie=\"drie\\\xEB\"")(master);
  Without("intface\\frame.htm")(master);
  Lay(windows, master);

  EXPECT_EQ(Run({"D:\\"}), CheckFoundFaults);
  const std::string text = out_.str();
  EXPECT_EQ(text.substr(0, text.find(':', 3)), "D:\\intface\\browsers.ini");
  EXPECT_NE(
      text.find("D:\\intface\\browsers.ini:2: catalogue-version: Versie \"drie\\\xEB\" is no"),
      std::string::npos);
  EXPECT_NE(text.find("\nD:\\intface\\frame.htm: missing-file: missing: "), std::string::npos);
  EXPECT_EQ(text.substr(text.rfind('\n', text.size() - 2) + 1), "2 findings.\n");

  EXPECT_EQ(Run({"D:\\", "--json"}), CheckFoundFaults);
  const std::string json = out_.str();
  EXPECT_EQ(json.rfind("{\"findings\": [\n  {\"code\": \"catalogue-version\", "
                       "\"file\": \"intface\\\\browsers.ini\", \"line\": 2, \"message\": "
                       "\"Versie \\\"drie\\\\\\u00EB\\\" is no number",
                       0),
            0u)
      << json;
  EXPECT_NE(json.find("},\n  {\"code\": \"missing-file\", \"file\": \"intface\\\\frame.htm\", "
                      "\"line\": 0, \"message\": \"missing: "),
            std::string::npos);
  EXPECT_EQ(json.substr(json.size() - 6), "\"}\n]}\n");
}

TEST(CheckReport, JsonStringsAreUnicode) {
  EXPECT_EQ(JsonString("\x80\x9F\xA0\xFF"), "\"\\u20AC\\u0178\\u00A0\\u00FF\"");
  EXPECT_EQ(JsonString("a\tb\"c\\"), "\"a\\u0009b\\\"c\\\\\"");
}

}  // namespace
}  // namespace tarvo
