// The launcher's log lines, recognised by their numbers and fixed texts, as
// the routines that write them spell them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

enum class LogLineKind : std::uint8_t {
  Unknown,
  // the header
  HeaderFirst,
  HeaderSecond,
  HeaderRule,
  // start-up and the launcher's version
  StartDir,
  Debug,
  OwnVersion,
  CdVersion,
  OldLauncher,
  VolumeLabel,
  VersionFile,
  VersionType,
  VersionSize,
  VersionFailed,
  VersionTranslation,
  VersionValue,
  // the built-in checks
  ChecksStart,
  SystemDirLength,
  SystemDir,
  LibraryFile,
  LibraryMissing,
  LibraryHandle,
  LibraryLoadFailed,
  LibraryNoEntry,
  LibraryRegistered,
  LibraryNotRegistered,
  ScriptRepairDone,
  HtmRegistering,
  HtmKeyFailed,
  HtmRegistered,
  HtmRepairDone,
  // the default browser, its identification and the catalogue
  HtmlFile,
  FindExecutable,
  BrowserStr,
  BrowserMissing,
  InvalidDirectory,
  NoBrowser,
  BrowserFile,
  BrowserVersion,
  BrowserCatalogue,
  BrowserEntry,
  BrowserName,
  BrowserCode,
  CatalogueCd,
  CatalogueCdVersion,
  WindowsDirLength,
  CatalogueWindows,
  CatalogueWindowsVersion,
  CatalogueCopy,
  // the search of drive C:
  UnknownBrowser,
  SearchCount,
  SearchNames,
  SearchFound,
  SearchPreference,
  CandidateCode,
  CandidateScore,
  BestScore,
  BestIndex,
  BestBrowser,
  NoBetterBrowser,
  BetterBrowser,
  // the registry
  Registration,
  KeyFailed,
  BetaValueRemoved,
  // the window and the start page with its diagnosis
  DesktopSize,
  WindowSize,
  NoTempPath,
  TempDir,
  TempIsStartDir,
  MainPageAddress,
  StartPageFile,
  StartPageWritten,
  DiagnosisError,
  DiagnosisExists,
  DiagnosisDate,
  DiagnosisAttributes,
  DiagnosisMissing,
  DiagnosisPresent,
  DiagnosisDrive,
  DiagnosisSize,
  DiagnosisFree,
  // the launch
  BrowserPad,
  Document,
  LaunchFailed,
  // any routine's handler
  Exception,
};

// The parts of a run, in their order.
enum class RunStage : std::uint8_t {
  Header,
  StartUp,
  Checks,
  Lookup,
  Search,
  Registration,
  Window,
  StartPage,
  Launch,
};

// One of the forms the launcher writes its lines in.
struct LineForm {
  LogLineKind kind;
  std::optional<RunStage> stage;  // none: a detail line
  const char* pattern;            // "%" stands for the line's variable part
  const char* value = "";         // the value of a line without one
};

// A form by its number; 0 is none.
using LineFormId = std::uint8_t;
constexpr LineFormId NoForm = 0;
const LineForm& FormOf(LineFormId form);

// The form of `line`, given without its line end and the blanks at its end;
// NoForm for a line the launcher does not write. The blank before an empty
// value at a line's end may be lost, as mail programs drop it. An accented
// letter of a fixed text may have come through damaged (as "?", as two
// characters, or as its bare letter); `damagedAccent` then tells.
LineFormId RecogniseLogLine(std::string_view line, bool& damagedAccent);

// The variable part of `line` (a path, a number, a message); for a key that
// could not be made, the key with its root.
std::string ValueOf(LineFormId form, std::string_view line);

// Whether a form's variable part runs to the end of the line, so that the
// line still reads as that form when its end is cut off.
bool EndsInItsValue(LineFormId form);

// Whether `text` is the beginning of one of the launcher's lines, cut short.
bool BeginsLogLine(std::string_view text);

// One line of the launcher in a file, or a stretch of lines that are none of
// its (empty lines among them).
struct LogEntry {
  std::uint32_t number = 0;  // its first line in the file, from 1
  // The file's lines it spans: more than one for a line a mail program
  // wrapped and that was joined again, and for a stretch.
  std::uint32_t lines = 1;
  std::uint32_t offset = 0;  // of its text in the store of the file's lines
  std::uint32_t length = 0;
  LineFormId form = NoForm;
  LogLineKind kind = LogLineKind::Unknown;
  // Numbered, check and "Melding" lines set it; detail lines, exception
  // lines and stretches have the stage of the line before.
  RunStage stage = RunStage::Header;
  bool detail = true;
};

struct NumberedLine {
  int number = 0;  // in the file, from 1
  std::string text;
};

}  // namespace tarvo
