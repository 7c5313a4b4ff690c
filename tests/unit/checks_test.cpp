// The built-in checks: the HTML association repair and the order of the
// checks' lines, against the model.
#include <gtest/gtest.h>

#include "detection_test.h"
#include "registration/built_in_checks.h"
#include "registration/html_association.h"

namespace tarvo {
namespace {

using Lines = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;

const char* const Preferred = "C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE";
const char* const Command = "\"C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE\" \"%1\"";

class ChecksTest : public DetectionTest {
 protected:
  void AddPreferredBrowser() {
    windows.AddFile(CdCatalogue, Catalogue({{"IEXPLORE", "", "IE5", "Internet Explorer 5"}},
                                           "[Browservolgorde]\r\nVoorkeur=IE5\r\n"));
    AddBrowser(windows, Preferred, "5.00.2614.3500");
  }

  // The lines that start with one of `prefixes`.
  Lines LinesOf(std::initializer_list<const char*> prefixes) {
    Lines kept;
    for (const std::string& line : TakeLines()) {
      for (const char* prefix : prefixes) {
        if (line.rfind(prefix, 0) == 0) kept.push_back(line);
      }
    }
    return kept;
  }

  std::optional<Bytes> Value(const std::string& key, const std::string& name) {
    const auto value = windows.RegistryValueOf(HkeyClassesRoot, key, name);
    if (!value) return std::nullopt;
    return value->data;
  }
};

TEST_F(ChecksTest, AssociatesHtmWithTheBestBrowserFound) {
  AddPreferredBrowser();
  RegistreerHTM();
  RegistreerHTM();
  const Lines once = {"xxx RHTM: (registreren " + std::string(Preferred) + ")",
                      "xxx RHTM: (registreren browser uitgevoerd)"};
  Lines twice = once;
  twice.insert(twice.end(), once.begin(), once.end());
  EXPECT_EQ(LinesOf({"xxx RHTM", "Exception"}), twice);
  EXPECT_EQ(Value(".htm", ""), RegistryTextData("Lumora.htmlfile"));
  EXPECT_EQ(Value(".htm", "Content Type"), RegistryTextData("text/html"));
  EXPECT_EQ(Value("Lumora.htmlfile", ""), RegistryTextData("HTML Document"));
  EXPECT_EQ(Value("Lumora.htmlfile\\Shell\\Open\\Command", ""), RegistryTextData(Command));
  EXPECT_FALSE(LoggedAProblem());
  EXPECT_EQ(windows.OpenHandleCount(), 0u);
}

TEST_F(ChecksTest, WithoutABrowserNothingIsRegistered) {
  RegistreerHTM();
  EXPECT_EQ(LinesOf({"xxx RHTM", "Exception"}), Lines{});
  EXPECT_FALSE(windows.RegistryKeyExists(HkeyClassesRoot, ".htm"));
}

TEST_F(ChecksTest, AKeyThatCannotBeMadeIsLoggedWithoutAProblem) {
  struct Case {
    const char* deniedKey;
    Lines lines;  // after the "registreren" line
    bool descriptionWritten;
  };
  const Case cases[] = {
      {".htm",
       {"xxx RHTM: (aanmaken \".htm\" sleutel mislukt)", "Exception: Failed to set data for ''"},
       false},
      {"Lumora.htmlfile",
       {"xxx RHTM: (aanmaken \"Lumora.htmlfile\" sleutel mislukt)",
        "Exception: Failed to set data for ''"},
       false},
      {"Lumora.htmlfile\\Shell\\Open\\Command",
       {"xxx RHTM: (aanmaken \"Lumora.htmlfile\\Shell\\Open\\Command\" sleutel mislukt)",
        "xxx RHTM: (registreren browser uitgevoerd)"},
       true},
  };
  for (const Case& c : cases) {
    WindowsModel fresh;
    InstallApi(fresh);
    fresh.AddFile(CdCatalogue, Catalogue({{"IEXPLORE", "", "IE5", "Internet Explorer 5"}},
                                         "[Browservolgorde]\r\nVoorkeur=IE5\r\n"));
    AddBrowser(fresh, Preferred, "5.0");
    fresh.DenyRegistryKey(HkeyClassesRoot, c.deniedKey);
    BrowserIniFile.clear();
    TakeLines();
    RegistreerHTM();
    Lines expected = {"xxx RHTM: (registreren " + std::string(Preferred) + ")"};
    expected.insert(expected.end(), c.lines.begin(), c.lines.end());
    EXPECT_EQ(LinesOf({"xxx RHTM", "Exception"}), expected) << c.deniedKey;
    EXPECT_FALSE(LoggedAProblem()) << c.deniedKey;
    // The command never takes the description's place.
    const auto description = fresh.RegistryValueOf(HkeyClassesRoot, "Lumora.htmlfile", "");
    EXPECT_EQ(description.has_value(), c.descriptionWritten) << c.deniedKey;
    if (description) {
      EXPECT_EQ(description->data, RegistryTextData("HTML Document")) << c.deniedKey;
    }
    EXPECT_EQ(fresh.OpenHandleCount(), 0u) << c.deniedKey;
  }
}

TEST_F(ChecksTest, TheChecksLinesBracketEachRepairInOrder) {
  AddPreferredBrowser();
  RunBuiltInChecks();
  const Lines lines = LinesOf({"C0", "xxx SSEIE", "xxx GBB: Count", "xxx RHTM: (registreren b"});
  EXPECT_EQ(lines, (Lines{"C00: (start uitvoeren alle ingebouwde checks)", "xxx SSEIE: Lengte = 19",
                          "xxx SSEIE: SystemDir = C:\\WINDOWS\\SYSTEM32\\",
                          "C01: (SolveScriptErrorIE uitgevoerd)", "xxx GBB: Count = 2",
                          "xxx RHTM: (registreren browser uitgevoerd)",
                          "C02: (RegistreerHTM uitgevoerd)"}));
}

TEST_F(ChecksTest, AnErrorOfTheScriptRepairSkipsTheRest) {
  AddPreferredBrowser();
  windows.AddLibrary("C:\\WINDOWS\\SYSTEM32\\actxprxy.dll",
                     {{"DllRegisterServer", []() -> std::int32_t { throw EWriteError(); }}});
  EXPECT_THROW(RunBuiltInChecks(), EWriteError);
  EXPECT_EQ(LinesOf({"C0", "xxx RHTM"}), Lines{"C00: (start uitvoeren alle ingebouwde checks)"});
  EXPECT_FALSE(windows.RegistryKeyExists(HkeyClassesRoot, ".htm"));
}

}  // namespace
}  // namespace tarvo
