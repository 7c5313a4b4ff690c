// The registrations of the disc's run files and the script-error repair,
// against the model's registry and libraries.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "registration/lmr_ext.h"
#include "registration/script_error.h"
#include "support/log_capture.h"
#include "support/model_test.h"

namespace tarvo {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;

const char* const Runner = "d:\\intface\\runner\\runner.exe";
const char* const RunnerCommand = "\"d:\\intface\\runner\\runner.exe\" \"%1\"";

class LoggedTest : public ModelTest {
 protected:
  std::pair<Lines, bool> Logged() const { return {log.Lines(), log.Problem()}; }

  std::optional<Bytes> Value(Handle root, const std::string& key, const std::string& name) {
    const auto value = windows.RegistryValueOf(root, key, name);
    if (!value) return std::nullopt;
    return value->data;
  }

  LogCapture log;
};

class RunFileTypeTest : public LoggedTest {};

TEST_F(RunFileTypeTest, RegistersEverythingSilentlyOnACleanMachine) {
  RegisterRunFileType("D:\\");
  SetRunFileEditFlags();
  EXPECT_EQ(Logged(), std::make_pair(Lines{}, false));
  struct Case {
    const char* key;
    const char* name;
    std::uint32_t type;
    Bytes data;
  };
  const Case cases[] = {
      {".lmr", "", RegSz, RegistryTextData("Lumora.runfile")},
      {".lmr", "Content Type", RegSz, RegistryTextData("application/runfile")},
      {"Lumora.runfile", "", RegSz, RegistryTextData("Lumora cd-rom opstartbestand")},
      {"Lumora.runfile", "EditFlags", RegBinary, {0, 0, 1, 0}},
      {"Lumora.runfile\\Shell\\Open", "", RegSz, RegistryTextData("&Starten")},
      {"Lumora.runfile\\Shell\\Open\\Command", "", RegSz, RegistryTextData(RunnerCommand)},
      {"MIME\\Database\\Content Type\\application/runfile", "Extension", RegSz,
       RegistryTextData(".lmr")},
  };
  for (const Case& c : cases) {
    const auto value = windows.RegistryValueOf(HkeyClassesRoot, c.key, c.name);
    ASSERT_TRUE(value) << c.key << " " << c.name;
    EXPECT_EQ(value->type, c.type) << c.key << " " << c.name;
    EXPECT_EQ(value->data, c.data) << c.key << " " << c.name;
    EXPECT_EQ(windows.RegistryKeyAsWritten(HkeyClassesRoot, c.key), c.key);
    const auto names = windows.RegistryValueNames(HkeyClassesRoot, c.key);
    EXPECT_NE(std::find(names.begin(), names.end(), c.name), names.end()) << c.key << " " << c.name;
  }
  EXPECT_TRUE(windows.RegistryKeyExists(HkeyClassesRoot, "Lumora.runfile\\Shell"));
  EXPECT_FALSE(Value(HkeyClassesRoot, "Lumora.runfile\\Shell", ""));
  EXPECT_EQ(windows.OpenHandleCount(), 0u);
}

TEST_F(RunFileTypeTest, RemovesTheBetaLeftoverOnceAndSaysSo) {
  windows.SetRegistryText(HkeyClassesRoot, "Lumora.runfile\\Shell", "", "iets anders");
  RegisterRunFileType("D:\\");
  RegisterRunFileType("D:\\");
  EXPECT_EQ(Logged(),
            std::make_pair(Lines{"304: (verwijderen foutieve &Starten waarde b\xE8ta cd-rom is "
                                 "gelukt!)"},
                           false));
  EXPECT_FALSE(Value(HkeyClassesRoot, "Lumora.runfile\\Shell", ""));
}

TEST_F(RunFileTypeTest, LowersOnlyAsciiLettersOfTheRunnerPath) {
  EXPECT_EQ(RunnerPath("E:\\CDTEST\\"), "e:\\cdtest\\intface\\runner\\runner.exe");
  EXPECT_EQ(RunnerPath("E:\\ÉÉN CD\\"), "e:\\ÉÉn cd\\intface\\runner\\runner.exe");
}

TEST_F(RunFileTypeTest, AKeyThatCannotBeMadeIsLoggedAndWhatBelongsToItSkipped) {
  const std::string failedSet = "Exception: Failed to set data for ''";
  struct Case {
    const char* deniedKey;
    Lines lines;
    bool problem;
    std::vector<std::pair<const char*, const char*>> written;  // key, value name
  };
  const Case cases[] = {
      {".lmr", {"301: (aanmaken \".lmr\" sleutel mislukt)", failedSet}, true, {}},
      {"Lumora.runfile",
       {"302: (aanmaken \"Lumora.runfile\" sleutel mislukt)", failedSet},
       true,
       {{".lmr", ""}, {".lmr", "Content Type"}}},
      {"Lumora.runfile\\Shell",
       {"303: (aanmaken \"Lumora.runfile\\Shell\" sleutel mislukt)"},
       false,
       {{"Lumora.runfile", ""},
        {"MIME\\Database\\Content Type\\application/runfile", "Extension"}}},
      {"Lumora.runfile\\Shell\\Open",
       {"305: (aanmaken \"Lumora.runfile\\Shell\\Open\" sleutel mislukt)"},
       false,
       {{"Lumora.runfile", ""}}},
      {"Lumora.runfile\\Shell\\Open\\Command",
       {"306 (aanmaken \"Lumora.runfile\\Shell\\Open\\Command\" sleutel mislukt)"},
       false,
       {{"Lumora.runfile\\Shell\\Open", ""}}},
      {"MIME\\Database\\Content Type\\application/runfile",
       {"307: (aanmaken \"MIME\\Database\\Content Type\\application/runfile\" sleutel mislukt)",
        "Exception: Failed to set data for 'Extension'"},
       true,
       {{"Lumora.runfile\\Shell\\Open\\Command", ""}}},
  };
  for (const Case& c : cases) {
    WindowsModel fresh;
    InstallApi(fresh);
    fresh.SetRegistryText(HkeyClassesRoot, "Lumora.runfile", "", "oud");
    fresh.SetRegistryText(HkeyClassesRoot, "Lumora.runfile\\Shell", "", "beta");
    fresh.DenyRegistryKey(HkeyClassesRoot, c.deniedKey);
    const LogCapture runLog;
    RegisterRunFileType("D:\\");
    Lines lines;
    for (const std::string& line : runLog.Lines()) {
      if (line.compare(0, 4, "304:") != 0) lines.push_back(line);
    }
    EXPECT_EQ(lines, c.lines) << c.deniedKey;
    EXPECT_EQ(runLog.Problem(), c.problem) << c.deniedKey;
    for (const auto& [key, name] : c.written) {
      EXPECT_TRUE(fresh.RegistryValueOf(HkeyClassesRoot, key, name)) << c.deniedKey << ": " << key;
    }
    // Nothing lands a level too high: the description stays, Shell keeps
    // no default and Open no other than its menu text, and no Open or
    // Command key grows under a parent.
    const auto description = fresh.RegistryValueOf(HkeyClassesRoot, "Lumora.runfile", "");
    if (std::string(c.deniedKey) != ".lmr" && std::string(c.deniedKey) != "Lumora.runfile") {
      ASSERT_TRUE(description) << c.deniedKey;
      EXPECT_EQ(description->data, RegistryTextData("Lumora cd-rom opstartbestand")) << c.deniedKey;
    }
    const auto shell = fresh.RegistryValueOf(HkeyClassesRoot, "Lumora.runfile\\Shell", "");
    EXPECT_TRUE(!shell || shell->data == RegistryTextData("beta")) << c.deniedKey;
    const auto open = fresh.RegistryValueOf(HkeyClassesRoot, "Lumora.runfile\\Shell\\Open", "");
    EXPECT_TRUE(!open || open->data == RegistryTextData("&Starten")) << c.deniedKey;
    for (const char* key : {"Open", "Command", "Lumora.runfile\\Shell\\Command"}) {
      EXPECT_FALSE(fresh.RegistryKeyExists(HkeyClassesRoot, key)) << c.deniedKey << ": " << key;
    }
    EXPECT_EQ(fresh.OpenHandleCount(), 0u) << c.deniedKey;
  }
}

TEST_F(RunFileTypeTest, EditFlagsWithoutTheirKeyAreAProblem) {
  windows.DenyRegistryKey(HkeyClassesRoot, "Lumora.runfile");
  SetRunFileEditFlags();
  EXPECT_EQ(Logged(), std::make_pair(Lines{"331: (aanmaken \"Lumora.runfile\" sleutel mislukt)",
                                           "Exception: Failed to set data for 'EditFlags'"},
                                     true));
}

class NetscapeTest : public LoggedTest {
 protected:
  const std::string viewers = "Software\\Netscape\\Netscape Navigator\\Viewers";
  const std::string trust =
      "Software\\Netscape\\Netscape Navigator\\User Trusted External Applications";
};

TEST_F(NetscapeTest, Navigator3GetsSuffixViewerTypeAndTrust) {
  RegisterNetscape3("D:\\");
  EXPECT_EQ(Logged(), std::make_pair(Lines{}, false));
  EXPECT_EQ(Value(HkeyCurrentUser, "Software\\Netscape\\Netscape Navigator\\Suffixes",
                  "application/runfile"),
            RegistryTextData("LMR"));
  EXPECT_EQ(Value(HkeyCurrentUser, viewers, "application/runfile"), RegistryTextData(Runner));
  EXPECT_EQ(Value(HkeyCurrentUser, viewers, "TYPE0"), RegistryTextData("application/runfile"));
  EXPECT_EQ(Value(HkeyCurrentUser, trust, Runner), RegistryTextData("Yes"));
  EXPECT_EQ(windows.RegistryValueNames(HkeyCurrentUser, viewers),
            (std::vector<std::string>{"application/runfile", "TYPE0"}));
  EXPECT_EQ(windows.RegistryValueNames(HkeyCurrentUser, trust), std::vector<std::string>{Runner});
  EXPECT_EQ(windows.OpenHandleCount(), 0u);
}

TEST_F(NetscapeTest, TheTypeGoesToTheLowestFreeNumberUnlessItIsThereAlready) {
  struct Case {
    const char* what;
    std::vector<std::pair<const char*, const char*>> existing;
    const char* added;  // null: none
    std::uint32_t existingType = RegSz;
  };
  const Case cases[] = {
      {"no types", {}, "TYPE0"},
      {"0 to 2 taken", {{"TYPE0", "a/b"}, {"TYPE1", "c/d"}, {"TYPE2", "e/f"}}, "TYPE3"},
      {"a gap at 1", {{"TYPE0", "a/b"}, {"TYPE2", "e/f"}}, "TYPE1"},
      {"already registered", {{"TYPE0", "a/b"}, {"TYPE1", "application/runfile"}}, nullptr},
      {"a longer text is another type", {{"TYPE0", "application/runfile2"}}, "TYPE1"},
      {"the text as binary data is another type",
       {{"TYPE0", "application/runfile"}},
       "TYPE1",
       RegBinary},
  };
  for (const Case& c : cases) {
    WindowsModel fresh;
    InstallApi(fresh);
    for (const auto& [name, text] : c.existing) {
      fresh.SetRegistryValue(HkeyCurrentUser, viewers, name, c.existingType,
                             RegistryTextData(text));
    }
    RegisterNetscape3("D:\\");
    RegisterNetscape3("D:\\");
    std::size_t types = 0;
    for (int n = 0; n < 10; ++n) {
      types += fresh.RegistryValueOf(HkeyCurrentUser, viewers, "TYPE" + std::to_string(n)) ? 1 : 0;
    }
    EXPECT_EQ(types, c.existing.size() + (c.added ? 1 : 0)) << c.what;
    if (c.added) {
      const auto added = fresh.RegistryValueOf(HkeyCurrentUser, viewers, c.added);
      ASSERT_TRUE(added) << c.what;
      EXPECT_EQ(added->data, RegistryTextData("application/runfile")) << c.what;
    }
  }
}

TEST_F(NetscapeTest, Navigator4TrustsTheRunnerOnly) {
  RegisterNetscape4("E:\\CDTEST\\");
  EXPECT_EQ(Value(HkeyCurrentUser, trust, "e:\\cdtest\\intface\\runner\\runner.exe"),
            RegistryTextData("Yes"));
  EXPECT_FALSE(windows.RegistryKeyExists(HkeyCurrentUser, viewers));
}

TEST_F(NetscapeTest, AKeyThatCannotBeMadeEndsTheRoutineAsAProblem) {
  struct Case {
    std::function<void()> routine;
    const char* deniedKey;
    Lines lines;
  };
  const std::string runnerName = std::string("Exception: Failed to set data for '") + Runner + "'";
  const Case cases[] = {
      {[] { RegisterNetscape3("D:\\"); },
       "Software\\Netscape\\Netscape Navigator\\Suffixes",
       {"310: (aanmaken \"Software\\Netscape\\Netscape Navigator\\Suffixes\" sleutel mislukt)",
        "Exception: Failed to set data for 'application/runfile'"}},
      {[] { RegisterNetscape3("D:\\"); },
       "Software\\Netscape\\Netscape Navigator\\Viewers",
       {"311: (aanmaken \"Software\\Netscape\\Netscape Navigator\\Viewers\" sleutel mislukt)",
        "Exception: Failed to set data for 'application/runfile'"}},
      {[] { RegisterNetscape3("D:\\"); },
       "Software\\Netscape\\Netscape Navigator\\User Trusted External Applications",
       {"312: (aanmaken \"Software\\Netscape\\Netscape Navigator\\User Trusted External "
        "Applications\" sleutel mislukt)",
        runnerName}},
      {[] { RegisterNetscape4("D:\\"); },
       "Software\\Netscape\\Netscape Navigator\\User Trusted External Applications",
       {"321: (aanmaken \"Software\\Netscape\\Netscape Navigator\\User Trusted External "
        "Applications\" sleutel mislukt)",
        runnerName}},
  };
  for (const Case& c : cases) {
    WindowsModel fresh;
    InstallApi(fresh);
    fresh.DenyRegistryKey(HkeyCurrentUser, c.deniedKey);
    const LogCapture runLog;
    c.routine();
    EXPECT_TRUE(runLog.Problem()) << c.deniedKey;
    EXPECT_EQ(runLog.Lines(), c.lines) << c.deniedKey;
    EXPECT_EQ(fresh.OpenHandleCount(), 0u) << c.deniedKey;
  }
}

}  // namespace
}  // namespace tarvo

namespace tarvo {
namespace {

class ScriptErrorTest : public ModelTest {
 protected:
  LogCapture log;
};

TEST_F(ScriptErrorTest, RegistersBothLibrariesAndLogsEachOutcome) {
  const std::string dir = "C:\\WINDOWS\\SYSTEM\\";
  struct Case {
    const char* what;
    std::function<void(WindowsModel&)> arrange;  // of actxprxy.dll
    Lines lines;                                 // after its FileName line
  };
  const auto library = [dir](std::map<std::string, WindowsModel::EntryPoint> exports) {
    return [dir, exports](WindowsModel& w) { w.AddLibrary(dir + "actxprxy.dll", exports); };
  };
  const Case cases[] = {
      {"missing file", [](WindowsModel&) {}, {"xxx RAL: (bestand niet aanwezig)"}},
      {"no library",
       [dir](WindowsModel& w) {
         w.AddLibrary(dir + "actxprxy.dll", {});
         w.FailLoadingLibrary(dir + "actxprxy.dll");
       },
       {"xxx RAL: LibHandle = 0", "xxx RAL: (LoadLibrary is mislukt!)"}},
      {"no entry point",
       library({{"dllregisterserver", [] { return 0; }}}),
       {"xxx RAL: LibHandle = *", "xxx RAL: (GetProcAddress is mislukt!)"}},
      {"S_OK",
       library({{"DllRegisterServer", [] { return 0; }}}),
       {"xxx RAL: LibHandle = *", "xxx RAL: (registratie is gelukt!)"}},
      {"S_FALSE",
       library({{"DllRegisterServer", [] { return 1; }}}),
       {"xxx RAL: LibHandle = *", "xxx RAL: (registratie is mislukt!)"}},
      {"an error code",
       library({{"DllRegisterServer", [] { return -2147467259; }}}),
       {"xxx RAL: LibHandle = *", "xxx RAL: (registratie is mislukt!)"}},
  };
  for (const Case& c : cases) {
    WindowsModel fresh;
    InstallApi(fresh);
    fresh.SetSystemDirectory("C:\\WINDOWS\\SYSTEM");
    c.arrange(fresh);
    fresh.AddLibrary(dir + "shdocvw.dll", {{"DllRegisterServer", [] { return 0; }}});
    const LogCapture runLog;
    SolveScriptErrorIE();

    Lines expected = {"xxx SSEIE: Lengte = 17", "xxx SSEIE: SystemDir = " + dir,
                      "xxx RAL: FileName = " + dir + "actxprxy.dll"};
    expected.insert(expected.end(), c.lines.begin(), c.lines.end());
    expected.insert(expected.end(),
                    {"xxx RAL: FileName = " + dir + "shdocvw.dll", "xxx RAL: LibHandle = *",
                     "xxx RAL: (registratie is gelukt!)"});
    Lines lines = runLog.Lines();
    for (std::string& line : lines) {
      if (line.rfind("xxx RAL: LibHandle = ", 0) == 0 && line != "xxx RAL: LibHandle = 0") {
        line = "xxx RAL: LibHandle = *";
      }
    }
    EXPECT_EQ(lines, expected) << c.what;
    EXPECT_FALSE(runLog.Problem()) << c.what;
    EXPECT_EQ(fresh.OpenHandleCount(), 0u) << c.what;
    EXPECT_EQ(fresh.LibraryRequests().back(), dir + "shdocvw.dll") << c.what;
  }
}

TEST_F(ScriptErrorTest, TakesTheSystemDirectoryAsItComesWithOneBackslash) {
  struct Case {
    std::string systemDirectory;
    Lines lines;
  };
  const Case cases[] = {
      {"C:\\",
       {"xxx SSEIE: Lengte = 3", "xxx SSEIE: SystemDir = C:\\",
        "xxx RAL: FileName = C:\\actxprxy.dll", "xxx RAL: (bestand niet aanwezig)",
        "xxx RAL: FileName = C:\\shdocvw.dll", "xxx RAL: (bestand niet aanwezig)"}},
      {"C:\\" + std::string(300, 'x'), {"xxx SSEIE: Lengte = 304"}},
  };
  for (const Case& c : cases) {
    WindowsModel fresh;
    InstallApi(fresh);
    fresh.SetSystemDirectory(c.systemDirectory);
    const LogCapture runLog;
    SolveScriptErrorIE();
    EXPECT_EQ(runLog.Lines(), c.lines) << c.systemDirectory;
  }
}

TEST_F(ScriptErrorTest, AnErrorOfTheLibraryPassesOnAfterItIsReleased) {
  windows.AddLibrary("C:\\WINDOWS\\SYSTEM32\\actxprxy.dll",
                     {{"DllRegisterServer", []() -> std::int32_t { throw EWriteError(); }}});
  EXPECT_THROW(SolveScriptErrorIE(), EWriteError);
  EXPECT_EQ(windows.OpenHandleCount(), 0u);
  EXPECT_EQ(log.Lines().back().rfind("xxx RAL: LibHandle = ", 0), 0u) << "no outcome line";
}

}  // namespace
}  // namespace tarvo
