// tarvo-check log on logs the launcher's own code wrote in whole runs
// against the model, one path of the run per row, read back to that path;
// then the same logs as mail and editors damage them, and files that are no
// log at all.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <sstream>

#include "check/check_command.h"
#include "helpdesk/log_normalising.h"
#include "helpdesk/log_reading.h"
#include "platform/exceptions.h"
#include "platform/text_lines.h"
#include "platform/windows1252.h"
#include "program_run.h"

namespace tarvo {
namespace {

using Facts = std::vector<std::pair<std::string, std::string>>;

// Each fact as "part.key"; the values of a repeated key joined by " | ".
std::map<std::string, std::string> FactsOf(const LogReading& reading) {
  std::map<std::string, std::string> facts;
  for (const LogSection& section : reading.sections) {
    for (const LogFact& fact : section.facts) {
      std::string& value = facts[section.name + "." + fact.key];
      value += (value.empty() ? "" : " | ") + fact.value;
    }
  }
  return facts;
}

std::vector<std::string> CodesOf(const LogReading& reading) {
  std::vector<std::string> codes;
  for (const LogFinding& finding : reading.findings) codes.push_back(finding.code);
  return codes;
}

// Each line of `text` as the reader reads it: the launcher's lines as found
// again, the others as the file holds them.
std::map<int, std::string> LinesAsRead(const std::string& text) {
  const LogLines lines = NormaliseLogLines(DecodeLogText(text).text);
  std::map<int, std::string> read;
  for (const LogEntry& entry : lines.entries) {
    if (entry.kind != LogLineKind::Unknown) {
      read[static_cast<int>(entry.number)] = std::string(TextOf(lines, entry));
      continue;
    }
    std::size_t count = 0;
    for (const NumberedLine& line : StretchLines(lines, entry, -1, false, count)) {
      read[line.number] = line.text;
    }
  }
  return read;
}

// What every reading must hold to: the facts asked for, the codes in order,
// and each finding resting on lines that stand in `text` under their numbers,
// with its meaning and advice.
void ExpectReading(const LogReading& reading, const std::string& text,
                   const std::vector<std::string>& codes, const Facts& facts) {
  EXPECT_TRUE(reading.launcherLog);
  EXPECT_EQ(CodesOf(reading), codes);
  const auto found = FactsOf(reading);
  for (const auto& [key, value] : facts) {
    const auto fact = found.find(key);
    EXPECT_EQ(fact == found.end() ? "(absent)" : fact->second, value) << key;
  }
  const std::map<int, std::string> lines = LinesAsRead(text);
  for (const LogFinding& finding : reading.findings) {
    ASSERT_FALSE(finding.lines.empty()) << finding.code;
    for (const NumberedLine& line : finding.lines) {
      const auto read = lines.find(line.number);
      ASSERT_NE(read, lines.end()) << finding.code << ", line " << line.number;
      EXPECT_EQ(line.text, read->second) << finding.code;
    }
    EXPECT_FALSE(finding.meaning.empty()) << finding.code;
    EXPECT_FALSE(finding.advice.empty()) << finding.code;
  }
}

struct RunPath {
  const char* name;
  const char* arguments;
  std::function<void(WindowsModel&)> arrange;
  std::vector<std::string> codes;  // the findings, in the order of the run
  Facts facts;                     // some of the run as the reading tells it
};

const char* const Navigator = "C:\\Netscape\\netscape.exe";

void AddUnknownBrowserAndNavigator(WindowsModel& w) {
  AddBrowser(w, Browser, "1.0");
  AddBrowser(w, Navigator, "4.7");
}

const RunPath RunPaths[] = {
    {"SupportedBrowser", "/DEBUG", [](WindowsModel&) {}, {},
     {{"start.debug", "yes"}, {"start.version_check", "passed"},
      {"start.volume_label", "LUMORA"}, {"start.extra_checks", "no"},
      {"browser.registered_browser", "C:\\Browser\\browser.exe"},
      {"browser.find_executable", "42 (found)"}, {"browser.entry", "1 (Browser 5)"},
      {"browser.code", "IE5"}, {"catalogue.used", "D:\\intface\\browsers.ini"},
      {"catalogue.copy", "the CD's copied to the Windows directory"},
      {"registration.result", "every key written"}, {"window.work_area", "800 x 572"},
      {"window.browser_window", "660 x 558"}, {"window.page", "the start page"},
      {"start_page.file", "C:\\WINDOWS\\TEMP\\lmrstart.htm"}, {"launch.started", "yes"},
      {"log.ending", "complete"}, {"log.outcome", "the browser started"}}},
    {"SearchWithABetterBrowser", "/DEBUG", AddUnknownBrowserAndNavigator, {"browser-unknown"},
     {{"browser.code", "ONB"}, {"browser.entry", "none matches"},
      {"search.names_looked_for", "2"}, {"search.browsers_found", "2"},
      {"search.candidate", "C:\\BROWSER\\BROWSER.EXE: ONB, score 0 | "
                           "C:\\NETSCAPE\\NETSCAPE.EXE: NN4, score 1"},
      {"search.best", "C:\\Netscape\\netscape.exe (score 1)"},
      {"search.result", "a better browser"}, {"better_browser.code", "NN4"},
      {"launch.browser", "C:\\Netscape\\netscape.exe"}, {"launch.started", "yes"}}},
    {"SearchWithoutABetterBrowser", "",
     [](WindowsModel& w) { w.SetVersionResource(Browser, ProductVersion("1.0")); },
     {"browser-unknown", "launch-failed"},
     {{"start.debug", "no"}, {"search.result", "no better browser"},
      {"search.best", "none: no browser it found scores above 0"},
      {"window.page", "the page for old browsers: no supported browser"},
      {"launch.browser", "(none)"}, {"launch.started", "no"},
      {"log.outcome", "the browser could not be started"}}},
    {"UnsupportedBrowser", "",
     [](WindowsModel& w) { w.SetVersionResource(Browser, ProductVersion("0.9")); },
     {"browser-unsupported", "launch-failed"},
     {{"browser.code", "NA"}, {"browser.entry", "3 (Browser 0)"},
      {"search.result", "no better browser"}}},
    {"NoBrowserForHtmlFiles", "/DEBUG",
     [](WindowsModel& w) { w.SetRegistryText(HkeyClassesRoot, ".htm", "", "Geen.Type"); },
     {"no-browser-registered"},
     {{"browser.find_executable", "31 (no program opens .htm files)"},
      {"log.outcome", "stopped: no browser"}, {"log.ending", "complete"}}},
    {"BrowserDeleted", "/DEBUG",
     [](WindowsModel& w) { w.AssociateExtension(".htm", "C:\\Gone\\gone.exe %1"); },
     {"browser-file-missing"},
     {{"browser.registered_browser", "C:\\Gone\\gone.exe (missing)"}}},
    {"StartDirectoryWithoutTheDisc", "/DEBUG E:\\", [](WindowsModel&) {},
     {"start-directory-invalid"},
     {{"start.start_directory", "E:\\"}, {"start.volume_label", "could not be read"},
      {"log.outcome", "stopped: the start directory holds no disc"}}},
    {"NewerLauncherOnTheDisc", "D:\\ /DEBUG",
     [](WindowsModel& w) {
       w.SetModuleFileName("C:\\Oud\\TARVO32.EXE");
       w.AddFile("C:\\Oud\\TARVO32.EXE", "MZ");
       w.SetVersionResource("C:\\Oud\\TARVO32.EXE", LauncherResource("1.52.0.0"));
       w.SetVersionResource("D:\\TARVO32.EXE", LauncherResource("1.53.0.0"));
     },
     {"newer-launcher-on-cd"},
     {{"start.launcher", "1.52.0.0 (C:\\Oud\\TARVO32.EXE)"},
      {"start.cd_launcher", "1.53.0.0 (D:\\tarvo32.exe)"},
      {"start.version_check", "the launcher on the CD is newer: the run stopped"},
      {"start.extra_checks", "not known: the log ends before the checks"},
      {"log.outcome", "stopped: the launcher on the CD is newer"}}},
    {"StartPageReadOnly", "",
     [](WindowsModel& w) {
       w.AddFile("C:\\WINDOWS\\TEMP\\lmrstart.htm", "", FileAttributeReadOnly | FileAttributeArchive);
     },
     {"start-page-read-only"},
     {{"start_page.error", "EFCreateError: Cannot create file C:\\WINDOWS\\TEMP\\lmrstart.htm"},
      {"log.outcome", "stopped: the start page could not be made"}}},
    {"TempFolderMissing", "", [](WindowsModel& w) { w.SetTempPath("C:\\Gone"); },
     {"temp-folder-missing"},
     {{"start_page.missing_file", "C:\\GONE\\lmrstart.htm"},
      {"start_page.folder", "C:\\GONE\\ does not exist"}}},
    {"TempDiskFull", "",
     [](WindowsModel& w) {
       w.AddDrive('E', DriveFixed, 1000000, 0);
       w.AddFolder("E:\\TEMP");
       w.SetTempPath("E:\\TEMP");
     },
     {"temp-disk-full"}, {{"start_page.error", "EWriteError: Stream write error"}}},
    {"TemplateMissing", "",
     [](WindowsModel& w) { w.DeleteFile("D:\\intface\\template.htm"); },
     {"template-unreadable"},
     {{"start_page.drive", "DRIVE_CDROM, size 681574400, free 0"},
      {"start_page.folder", "D:\\ exists"}}},
    {"NoTempVariable", "/DEBUG", [](WindowsModel& w) { w.SetTempPath("D:\\"); },
     {"no-temp-folder"},
     {{"start_page.temp_directory", "D:\\, the start directory itself: C:\\ used"},
      {"start_page.file", "C:\\lmrstart.htm"}, {"launch.started", "yes"}}},
    {"NoTempPathAtAll", "/DEBUG", [](WindowsModel& w) { w.FailTempPath(); }, {"no-temp-folder"},
     {{"start_page.temp_path", "GetTempPath failed"}, {"start_page.temp_directory", "C:\\"}}},
    {"RegistryKeyDenied", "",
     [](WindowsModel& w) { w.DenyRegistryKey(HkeyClassesRoot, ".lmr"); },
     {"registry-key-failed"},
     {{"registration.failed_key", "HKEY_CLASSES_ROOT\\.lmr"},
      {"registration.error", "Failed to set data for ''"},
      {"registration.result", "not every key written"}}},
    {"ChecksThatRepair", "/CHECKS",
     [](WindowsModel& w) {
       AddUnknownBrowserAndNavigator(w);
       w.AddLibrary("C:\\WINDOWS\\SYSTEM32\\shdocvw.dll", {{"DllRegisterServer", [] { return 0; }}});
     },
     {},
     {{"start.extra_checks", "yes"}, {"start.debug", "no"},
      {"checks.library", "C:\\WINDOWS\\SYSTEM32\\actxprxy.dll: not present | "
                         "C:\\WINDOWS\\SYSTEM32\\shdocvw.dll: registered again"},
      {"repair_search.best", "C:\\Netscape\\netscape.exe (score 1)"},
      {"checks.htm_association", "C:\\Netscape\\netscape.exe now opens .htm files"},
      {"browser.code", "NN4"}}},
    {"ChecksThatFail", "/CHECKS",
     [](WindowsModel& w) {
       AddUnknownBrowserAndNavigator(w);
       w.AddLibrary("C:\\WINDOWS\\SYSTEM32\\shdocvw.dll", {{"DllRegisterServer", [] { return 1; }}});
       w.DenyRegistryKey(HkeyClassesRoot, ".htm");
     },
     {"script-repair-failed", "htm-repair-failed", "browser-unknown"},
     {{"checks.htm_association", "not changed: registering C:\\Netscape\\netscape.exe failed"}}},
    {"BrokeOffInTheLookup", "/DEBUG",
     [](WindowsModel& w) { w.OnFindExecutable([] { throw EWriteError(); }); },
     {"run-broke-off"}, {{"log.outcome", "broke off in the lookup of the browser"}}},
    {"BrokeOffInALibrarysRegistration", "/CHECKS",
     [](WindowsModel& w) {
       w.AddLibrary("C:\\WINDOWS\\SYSTEM32\\shdocvw.dll",
                    {{"DllRegisterServer", []() -> std::int32_t { throw EWriteError(); }}});
     },
     {"run-broke-off"}, {{"log.outcome", "broke off in the built-in checks of /CHECKS"}}},
    {"ScreenTooSmall", "/DEBUG", [](WindowsModel& w) { w.SetWorkArea(Rect{0, 0, 640, 480}); },
     {"screen-too-small"},
     {{"window.work_area", "640 x 480"}, {"window.page", "the simple page: too little room"}}},
    {"CatalogueCopyRefused", "",
     [](WindowsModel& w) {
       w.AddFile("C:\\WINDOWS\\BROWSERS.INI", "", FileAttributeReadOnly);
     },
     {"catalogue-copy-failed"},
     {{"catalogue.copy", "failed: Cannot create file C:\\WINDOWS\\BROWSERS.INI"},
      {"catalogue.used", "D:\\intface\\browsers.ini"}}},
    {"BrowserWouldNotStart", "", [](WindowsModel& w) { w.FailProcessStarts(); },
     {"launch-failed"}, {{"launch.browser", "C:\\Browser\\browser.exe"}, {"launch.started", "no"}}},
};

class LogOfARun : public ProgramRun, public ::testing::WithParamInterface<RunPath> {};

TEST_P(LogOfARun, IsReadBackToThePathThatWroteIt) {
  GetParam().arrange(windows);
  Run(GetParam().arguments);
  const auto log = Log();
  ASSERT_TRUE(log) << "the run kept no log";
  ExpectReading(ReadLauncherLog(DecodeLogText(*log)), *log, GetParam().codes, GetParam().facts);
}

INSTANTIATE_TEST_SUITE_P(Paths, LogOfARun, ::testing::ValuesIn(RunPaths),
                         [](const auto& info) { return std::string(info.param.name); });

// --- damaged logs and files that are none ---

std::string Utf8(const std::string& windows1252) {
  std::string text;
  for (const char c : windows1252) {
    const std::uint16_t u = UnicodeOfWindows1252(static_cast<unsigned char>(c));
    if (u < 0x80) {
      text += static_cast<char>(u);
    } else if (u < 0x800) {
      text += {static_cast<char>(0xC0 | u >> 6), static_cast<char>(0x80 | (u & 0x3F))};
    } else {
      text += {static_cast<char>(0xE0 | u >> 12), static_cast<char>(0x80 | (u >> 6 & 0x3F)),
               static_cast<char>(0x80 | (u & 0x3F))};
    }
  }
  return text;
}

std::string Utf16LittleEndian(const std::string& windows1252) {
  std::string text = "\xFF\xFE";
  for (const char c : windows1252) {
    const std::uint16_t u = UnicodeOfWindows1252(static_cast<unsigned char>(c));
    text += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
  }
  return text;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// The text up to `end` (the first line that holds it), or up to its middle.
std::string CutAt(const std::string& text, const std::string& end, bool midLine) {
  const auto at = text.find(end);
  return text.substr(0, midLine ? at + end.size() / 2 : text.find("\r\n", at) + 2);
}

struct Damage {
  const char* what;
  std::function<std::string(const std::string&)> damage;
  std::vector<std::string> codes;
  Facts facts;
};

const char* const Better = "browser-unknown";

class LogCommand : public ProgramRun {
 protected:
  // A log of a search that found a better browser, which ends normally.
  std::string SearchLog() {
    AddUnknownBrowserAndNavigator(windows);
    Run("/DEBUG");
    return Log().value_or("");
  }

  CheckStatus Check(const std::vector<std::string>& arguments) {
    std::ostringstream outStream;
    std::ostringstream errorStream;
    const CheckStatus status = RunTarvoCheck(arguments, outStream, errorStream);
    out = outStream.str();
    error = errorStream.str();
    return status;
  }

  std::string out;
  std::string error;
};

TEST_F(LogCommand, ReadsADamagedLogForWhatItHoldsAndSaysWhereItEnds) {
  const std::string log = SearchLog();
  const Damage damages[] = {
      {"LF line ends", [](const std::string& t) { return Replaced(t, "\r\n", "\n"); }, {Better},
       {{"log.line_ends", "LF"}, {"log.ending", "complete"}, {"launch.started", "yes"}}},
      {"CR line ends", [](const std::string& t) { return Replaced(t, "\r\n", "\r"); }, {Better},
       {{"log.line_ends", "CR"}, {"log.ending", "complete"}}},
      {"UTF-8", Utf8, {Better},
       {{"log.encoding", "UTF-8"}, {"catalogue.copy", "the CD's copied to the Windows directory"}}},
      {"UTF-8 with its mark", [](const std::string& t) { return "\xEF\xBB\xBF" + Utf8(t); },
       {Better}, {{"log.encoding", "UTF-8"}, {"log.header", "present"}}},
      {"UTF-16", Utf16LittleEndian, {Better}, {{"log.encoding", "UTF-16"}}},
      {"no header",
       [](const std::string& t) { return t.substr(t.find("100: StartDir")); }, {Better},
       {{"log.header", "missing"}, {"start.start_directory", "D:\\"}}},
      {"closing lines lost",
       [](const std::string& t) { return t.substr(0, t.size() - 4); }, {Better},
       {{"log.ending", "without the two empty lines that close a log"},
        {"launch.started", "yes"}}},
      {"a signature below it", [](const std::string& t) { return t + "-- \r\nJan\r\n"; },
       {Better}, {{"log.ending", "complete"}}},
      {"cut off in the search",
       [](const std::string& t) { return CutAt(t, "xxx GBB: Score", false); },
       {Better, "log-cut-off"},
       {{"search.result", "not known: the log ends in the search"},
        {"log.outcome", "not known: the log is cut off in the search of drive C: for a better browser"}}},
      {"cut off in the middle of a line",
       [](const std::string& t) { return CutAt(t, "408: OpenHTMLdoc", true); },
       {Better, "log-cut-off"}, {{"launch.started", "(absent)"}}},
  };
  for (const Damage& d : damages) {
    SCOPED_TRACE(d.what);
    const std::string text = d.damage(log);
    const LogReading reading = ReadLauncherLog(DecodeLogText(text));
    ExpectReading(reading, text, d.codes, d.facts);
    // A cut-off log names its own last line.
    if (!d.codes.empty() && d.codes.back() == "log-cut-off") {
      EXPECT_EQ(reading.findings.back().lines.back().number,
                static_cast<int>(TextLines(Replaced(text, "\r\n", "\n")).size()));
    }
  }
}

TEST_F(LogCommand, GivesAFileThatIsNoLogOneLineAndStatus2) {
  struct Case {
    const char* content;  // none: no file
    std::size_t size;
    const char* why;
  };
  const Case cases[] = {
      {"<html><body><p>Hallo</p></body></html>\r\n", 40,
       " is not a launcher log: none of its lines is one the launcher writes"},
      {"Exception: boos\r\n", 17,
       " is not a launcher log: none of its lines is one the launcher writes"},
      {"MZ\x90\0\3\0\0\0\4\0", 10, " is not a launcher log: it holds binary data"},
      // "100" in UTF-16 without its mark: read, but no log
      {"\0\x31\0\x30\0\x30", 6,
       " is not a launcher log: none of its lines is one the launcher writes"},
      {"100: StartDir = D:\\\r\n\0\0\x01\0\0\r\n", 28, " is not a launcher log: it holds binary data"},
      {"", 0, " is empty"},
      {"\r\n \r\n\t\n", 7, " is empty"},
  };
  for (const Case& c : cases) {
    windows.AddFile("C:\\MAIL\\LMRSTART.LOG", std::string(c.content, c.size));
    EXPECT_EQ(Check({"log", "C:\\MAIL\\LMRSTART.LOG"}), CheckBadUsage) << c.why;
    EXPECT_EQ(error, std::string("tarvo-check: C:\\MAIL\\LMRSTART.LOG") + c.why + "\n");
    EXPECT_EQ(out, "");
  }
  EXPECT_EQ(Check({"log", "C:\\MAIL\\GEEN.LOG"}), CheckBadUsage);
  EXPECT_EQ(error, "tarvo-check: there is no file C:\\MAIL\\GEEN.LOG\n");
}

TEST_F(LogCommand, WritesTextOrJsonAndItsStatusFollowsTheFindings) {
  Run("/DEBUG");
  windows.AddFile("C:\\MAIL\\GOED.LOG", Log().value_or(""));
  EXPECT_EQ(Check({"log", "C:\\MAIL\\GOED.LOG"}), CheckClean) << out;
  EXPECT_EQ(out.substr(out.size() - 19), "\nNo problem found.\n");

  windows.AddFile("C:\\MAIL\\SEARCH.LOG", SearchLog());
  EXPECT_EQ(Check({"log", "C:\\MAIL\\SEARCH.LOG"}), CheckFoundFaults);
  EXPECT_EQ(out.rfind("C:\\MAIL\\SEARCH.LOG: a launcher log\n", 0), 0u) << out;
  EXPECT_NE(out.find("\n1. browser-unknown, lines "), std::string::npos) << out;
  EXPECT_NE(out.find("   advice: Stel C:\\Netscape\\netscape.exe in als standaardbrowser"),
            std::string::npos)
      << out;
  EXPECT_EQ(out.substr(out.size() - 12), "\n1 finding.\n");

  EXPECT_EQ(Check({"log", "--json", "C:\\MAIL\\SEARCH.LOG"}), CheckFoundFaults);
  EXPECT_EQ(out.rfind("{\"file\": \"C:\\\\MAIL\\\\SEARCH.LOG\",\n \"log\": {\"lines\": ", 0), 0u)
      << out;
  EXPECT_NE(out.find("\"candidate\": [\"C:\\\\BROWSER\\\\BROWSER.EXE: ONB, score 0\", "),
            std::string::npos);
  EXPECT_NE(out.find("{\"code\": \"browser-unknown\", \"lines\": [{\"number\": "),
            std::string::npos);
  EXPECT_NE(out.find("\\u00E9\\u00E9n keer"), std::string::npos) << "één, as JSON's Unicode";
}

}  // namespace
}  // namespace tarvo
