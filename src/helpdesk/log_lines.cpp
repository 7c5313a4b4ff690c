#include "helpdesk/log_lines.h"

#include <map>
#include <optional>

namespace tarvo {

namespace {

using K = LogLineKind;
using S = RunStage;

struct Rule {
  LogLineKind kind;
  std::optional<RunStage> stage;  // none: a detail line
  const char* pattern;            // "%" stands for the line's variable part
  const char* value = "";         // the value of a line without one
};

// The first that matches counts, so a pattern comes after the fixed lines it
// would also match.
const Rule Rules[] = {
    {K::HeaderFirst, S::Header, "Stuur de complete inhoud van deze logfile naar % voor"},
    {K::HeaderSecond, S::Header, "een mogelijke oplossing. Verander niets aan de inhoud!"},
    {K::HeaderRule, S::Header,
     "-------------------------------------------------------------------"},
    {K::StartDir, S::StartUp, "100: StartDir = %"},
    {K::Debug, S::StartUp, "101: Debug = %"},
    {K::VersionFile, {}, "xxx GFI: FileName = %"},
    {K::VersionType, {}, "xxx GFI: InfoType = %"},
    {K::VersionSize, {}, "xxx GFI: InfoSize = %"},
    {K::VersionFailed, {}, "xxx GFI: (GetFileVersionInfo is mislukt)"},
    {K::VersionTranslation, {}, "xxx GFI: TranslationTable = %"},
    {K::VersionValue, {}, "xxx GFI: Waarde = %"},
    {K::OwnVersion, S::StartUp, "102: VersieIntern = %"},
    {K::CdVersion, S::StartUp, "103: VersieCD = %"},
    {K::OldLauncher, S::StartUp, "Melding: (oude versie van TARVO32.EXE)"},
    {K::VolumeLabel, S::StartUp, "104: (volumelabel = %)"},
    {K::ChecksStart, S::Checks, "C00: (start uitvoeren alle ingebouwde checks)"},
    {K::SystemDirLength, {}, "xxx SSEIE: Lengte = %"},
    {K::SystemDir, {}, "xxx SSEIE: SystemDir = %"},
    {K::LibraryFile, {}, "xxx RAL: FileName = %"},
    {K::LibraryMissing, {}, "xxx RAL: (bestand niet aanwezig)"},
    {K::LibraryHandle, {}, "xxx RAL: LibHandle = %"},
    {K::LibraryLoadFailed, {}, "xxx RAL: (LoadLibrary is mislukt!)"},
    {K::LibraryNoEntry, {}, "xxx RAL: (GetProcAddress is mislukt!)"},
    {K::LibraryRegistered, {}, "xxx RAL: (registratie is gelukt!)"},
    {K::LibraryNotRegistered, {}, "xxx RAL: (registratie is mislukt!)"},
    {K::ScriptRepairDone, S::Checks, "C01: (SolveScriptErrorIE uitgevoerd)"},
    {K::HtmRegistered, {}, "xxx RHTM: (registreren browser uitgevoerd)"},
    {K::HtmRegistering, {}, "xxx RHTM: (registreren %)"},
    {K::HtmKeyFailed,
     {},
     "xxx RHTM: (aanmaken \".htm\" sleutel mislukt)",
     "HKEY_CLASSES_ROOT\\.htm"},
    {K::HtmKeyFailed,
     {},
     "xxx RHTM: (aanmaken \"Lumora.htmlfile\" sleutel mislukt)",
     "HKEY_CLASSES_ROOT\\Lumora.htmlfile"},
    {K::HtmKeyFailed,
     {},
     "xxx RHTM: (aanmaken \"Lumora.htmlfile\\Shell\\Open\\Command\" sleutel mislukt)",
     "HKEY_CLASSES_ROOT\\Lumora.htmlfile\\Shell\\Open\\Command"},
    {K::HtmRepairDone, S::Checks, "C02: (RegistreerHTM uitgevoerd)"},
    {K::HtmlFile, S::Lookup, "200: HTMLFileName = %"},
    {K::FindExecutable, S::Lookup, "201: (FindExecutable = %)"},
    {K::BrowserStr, S::Lookup, "202: BrowserStr = %"},
    {K::BrowserMissing, S::Lookup, "203: Executable niet gevonden!"},
    {K::InvalidDirectory, S::Lookup, "Melding: (ongeldige directory via commandline)"},
    {K::NoBrowser, S::Lookup, "Melding: (geen browser geïnstalleerd)"},
    {K::BrowserFile, {}, "xxx GBN: FileName = %"},
    {K::BrowserVersion, {}, "xxx GBN: Versie = %"},
    {K::BrowserCatalogue, {}, "xxx GBN: BrowserIniFile = %"},
    {K::BrowserEntry, {}, "xxx GBN: BrowserCount = %"},
    {K::BrowserName, {}, "xxx GBN: (EExtern = %)"},
    {K::BrowserCode, {}, "xxx GBN: Browser = %"},
    {K::CatalogueCd, {}, "xxx GBIFN: IniFileNameCD = %"},
    {K::CatalogueCdVersion, {}, "xxx GBIFN: IniVersieCD = %"},
    {K::WindowsDirLength, {}, "xxx GBIFN: Lengte = %"},
    {K::CatalogueWindows, {}, "xxx GBIFN: IniFileNameWindows = %"},
    {K::CatalogueWindowsVersion, {}, "xxx GBIFN: IniVersieWindows = %"},
    {K::CatalogueCopy, {}, "xxx GBIFN: (Kopiëren INI file)"},
    {K::UnknownBrowser, S::Search, "Melding: (onbekende of niet ondersteunde browser)"},
    {K::SearchCount, {}, "xxx GBB: Count = %"},
    {K::SearchNames, {}, "xxx GBB: (aantal .exe in lijst = %)"},
    {K::SearchFound, {}, "xxx GBB: (aantal gevonden browsers = %)"},
    {K::SearchPreference, {}, "xxx GBB: BrowserVoorkeur = %"},
    {K::CandidateCode, {}, "xxx GBB: BrowserIntern = %"},
    {K::CandidateScore, {}, "xxx GBB: Score = %"},
    {K::BestScore, {}, "xxx GBB: BesteScore = %"},
    {K::BestIndex, {}, "xxx GBB: BesteBrowser = %"},
    {K::BestBrowser, {}, "xxx GBB: (ofwel %)"},
    {K::NoBetterBrowser, S::Search, "Melding: (helaas geen betere browser gevonden)"},
    {K::BetterBrowser, S::Search, "Melding: (betere browser gevonden)"},
    {K::Registration, S::Registration, "300: (aanmaken sleutels in registry)"},
    {K::KeyFailed, S::Registration, "301: (aanmaken \".lmr\" sleutel mislukt)",
     "HKEY_CLASSES_ROOT\\.lmr"},
    {K::KeyFailed, S::Registration, "302: (aanmaken \"Lumora.runfile\" sleutel mislukt)",
     "HKEY_CLASSES_ROOT\\Lumora.runfile"},
    {K::KeyFailed, S::Registration, "303: (aanmaken \"Lumora.runfile\\Shell\" sleutel mislukt)",
     "HKEY_CLASSES_ROOT\\Lumora.runfile\\Shell"},
    {K::BetaValueRemoved, S::Registration,
     "304: (verwijderen foutieve &Starten waarde bèta cd-rom is gelukt!)"},
    {K::KeyFailed, S::Registration,
     "305: (aanmaken \"Lumora.runfile\\Shell\\Open\" sleutel mislukt)",
     "HKEY_CLASSES_ROOT\\Lumora.runfile\\Shell\\Open"},
    {K::KeyFailed, S::Registration,
     "306 (aanmaken \"Lumora.runfile\\Shell\\Open\\Command\" sleutel mislukt)",
     "HKEY_CLASSES_ROOT\\Lumora.runfile\\Shell\\Open\\Command"},
    {K::KeyFailed, S::Registration,
     "307: (aanmaken \"MIME\\Database\\Content Type\\application/runfile\" sleutel mislukt)",
     "HKEY_CLASSES_ROOT\\MIME\\Database\\Content Type\\application/runfile"},
    {K::KeyFailed, S::Registration,
     "310: (aanmaken \"Software\\Netscape\\Netscape Navigator\\Suffixes\" sleutel mislukt)",
     "HKEY_CURRENT_USER\\Software\\Netscape\\Netscape Navigator\\Suffixes"},
    {K::KeyFailed, S::Registration,
     "311: (aanmaken \"Software\\Netscape\\Netscape Navigator\\Viewers\" sleutel mislukt)",
     "HKEY_CURRENT_USER\\Software\\Netscape\\Netscape Navigator\\Viewers"},
    {K::KeyFailed, S::Registration,
     "312: (aanmaken \"Software\\Netscape\\Netscape Navigator\\User Trusted External "
     "Applications\" sleutel mislukt)",
     "HKEY_CURRENT_USER\\Software\\Netscape\\Netscape Navigator\\User Trusted External "
     "Applications"},
    {K::KeyFailed, S::Registration,
     "321: (aanmaken \"Software\\Netscape\\Netscape Navigator\\User Trusted External "
     "Applications\" sleutel mislukt)",
     "HKEY_CURRENT_USER\\Software\\Netscape\\Netscape Navigator\\User Trusted External "
     "Applications"},
    {K::KeyFailed, S::Registration, "331: (aanmaken \"Lumora.runfile\" sleutel mislukt)",
     "HKEY_CLASSES_ROOT\\Lumora.runfile"},
    {K::DesktopSize, S::Window, "400: (bureaublad is % pixels)"},
    {K::WindowSize, S::Window, "401: (browser wordt % pixels)"},
    {K::NoTempPath, S::StartPage, "402: (opvragen tijdelijke directory mislukt)"},
    {K::TempDir, S::StartPage, "403: TempDir = %"},
    {K::TempIsStartDir, S::StartPage, "Melding: (tempdir bestaat niet)"},
    {K::MainPageAddress, S::StartPage, "404: (ConvertToBrowserDir = %)"},
    {K::StartPageFile, S::StartPage, "405: FileName = %"},
    {K::StartPageWritten, S::StartPage, "406: (vervangen en aanmaken startpagina gelukt)"},
    {K::DiagnosisError, {}, "xxx EL: (Exception %)"},
    {K::DiagnosisDrive, {}, "xxx EL: (Drive type kan niet bepaald worden)", "unknown"},
    {K::DiagnosisDrive, {}, "xxx EL: (Root directory bestaat niet)", "no root directory"},
    {K::DiagnosisDrive, {}, "xxx EL: (Drive type is %)"},
    {K::DiagnosisExists, {}, "xxx EL: (% bestaat al)"},
    {K::DiagnosisMissing, {}, "xxx EL: (% bestaat niet)"},
    {K::DiagnosisPresent, {}, "xxx EL: (% bestaat)"},
    {K::DiagnosisDate, {}, "xxx EL: FileDatum = %"},
    {K::DiagnosisAttributes, {}, "xxx EL: (File attribute = %)"},
    {K::DiagnosisSize, {}, "xxx EL: (grootte = %)"},
    {K::DiagnosisFree, {}, "xxx EL: (vrij = %)"},
    {K::BrowserPad, S::Launch, "407: BrowserPad = %"},
    {K::Document, S::Launch, "408: OpenHTMLdoc = %"},
    {K::LaunchFailed, S::Launch, "Melding: (cd-rom kan niet gestart worden)"},
    {K::Exception, {}, "Exception: %"},
};

// A rule's pattern split at its "%".
struct Pattern {
  const Rule* rule;
  std::string head;
  std::string tail;
  bool variable;
};

// Every pattern's fixed beginning is at least this long, so a line is
// compared only with the patterns that begin as it does.
constexpr std::size_t StartLength = 8;

const std::map<std::string, std::vector<Pattern>>& PatternsByStart() {
  static const std::map<std::string, std::vector<Pattern>> patterns = [] {
    std::map<std::string, std::vector<Pattern>> byStart;
    for (const Rule& rule : Rules) {
      const std::string pattern = rule.pattern;
      const auto mark = pattern.find('%');
      byStart[pattern.substr(0, StartLength)].push_back(
          {&rule, pattern.substr(0, mark),
           mark == std::string::npos ? "" : pattern.substr(mark + 1), mark != std::string::npos});
    }
    return byStart;
  }();
  return patterns;
}

std::optional<std::string> Match(const std::string& line, const Pattern& pattern) {
  if (!pattern.variable) {
    if (line == pattern.head) return std::string(pattern.rule->value);
    return std::nullopt;
  }
  const std::size_t fixed = pattern.head.size() + pattern.tail.size();
  if (line.size() >= fixed && line.compare(0, pattern.head.size(), pattern.head) == 0 &&
      line.compare(line.size() - pattern.tail.size(), pattern.tail.size(), pattern.tail) == 0) {
    return line.substr(pattern.head.size(), line.size() - fixed);
  }
  const std::string& head = pattern.head;
  if (pattern.tail.empty() && !head.empty() && head.back() == ' ' &&
      line.compare(0, std::string::npos, head, 0, head.size() - 1) == 0) {
    return std::string();
  }
  return std::nullopt;
}

}  // namespace

std::vector<LogEntry> RecogniseLogLines(const std::vector<std::string>& lines) {
  std::vector<LogEntry> entries;
  RunStage stage = RunStage::Header;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    LogEntry entry;
    entry.number = static_cast<int>(i + 1);
    entry.text = lines[i];
    const std::string line = lines[i].substr(0, lines[i].find_last_not_of(" \t") + 1);
    if (line.empty()) entry.kind = LogLineKind::Empty;
    const auto group = PatternsByStart().find(line.substr(0, StartLength));
    const std::vector<Pattern> none;
    for (const Pattern& pattern : group == PatternsByStart().end() ? none : group->second) {
      if (auto value = Match(line, pattern)) {
        entry.kind = pattern.rule->kind;
        entry.value = std::move(*value);
        if (pattern.rule->stage) {
          stage = *pattern.rule->stage;
          entry.detail = false;
        }
        break;
      }
    }
    entry.stage = stage;
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace tarvo
