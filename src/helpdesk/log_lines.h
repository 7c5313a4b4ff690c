// The launcher's log lines, recognised by their numbers and fixed texts, as
// the routines that write them spell them.
#pragma once

#include <string>
#include <vector>

namespace tarvo {

enum class LogLineKind {
  Unknown,
  Empty,
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
enum class RunStage {
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

struct LogEntry {
  LogLineKind kind = LogLineKind::Unknown;
  // Numbered, check and "Melding" lines set it; detail lines, exception
  // lines, empty and unknown ones have the stage of the line before.
  RunStage stage = RunStage::Header;
  bool detail = true;
  int number = 0;    // in the file, from 1
  std::string text;  // as the file holds it
  // The line's variable part (a path, a number, a message); for a key that
  // could not be made, the key with its root.
  std::string value;
};

// Each line recognised. Blanks at a line's end are ignored, and so is the
// loss of the blank before an empty value there, as mail programs do both.
std::vector<LogEntry> RecogniseLogLines(const std::vector<std::string>& lines);

}  // namespace tarvo
