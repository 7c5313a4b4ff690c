#include "helpdesk/log_lines.h"

#include <map>
#include <vector>

#include "platform/windows1252.h"

namespace tarvo {

namespace {

using K = LogLineKind;
using S = RunStage;

// The first that matches counts, so a pattern comes after the fixed lines it
// would also match.
const LineForm Forms[] = {
    {K::Unknown, {}, ""},  // NoForm
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

// A form's pattern split at its "%".
struct Pattern {
  LineFormId form;
  std::string head;
  std::string tail;
  bool variable;
};

// Every pattern's fixed beginning is at least this long, so a line is
// compared only with the patterns that begin as it does. The accented
// letters of the fixed texts all stand further on.
constexpr std::size_t StartLength = 8;

const std::vector<Pattern>& AllPatterns() {
  static const std::vector<Pattern> patterns = [] {
    std::vector<Pattern> all;
    for (std::size_t form = 1; form < std::size(Forms); ++form) {
      const std::string pattern = Forms[form].pattern;
      const auto mark = pattern.find('%');
      all.push_back({static_cast<LineFormId>(form), pattern.substr(0, mark),
                     mark == std::string::npos ? "" : pattern.substr(mark + 1),
                     mark != std::string::npos});
    }
    return all;
  }();
  return patterns;
}

const std::map<std::string, std::vector<Pattern>, std::less<>>& PatternsByStart() {
  static const std::map<std::string, std::vector<Pattern>, std::less<>> patterns = [] {
    std::map<std::string, std::vector<Pattern>, std::less<>> byStart;
    for (const Pattern& pattern : AllPatterns()) {
      byStart[pattern.head.substr(0, StartLength)].push_back(pattern);
    }
    return byStart;
  }();
  return patterns;
}

bool Damaged(char c) { return c == '?' || static_cast<unsigned char>(c) >= 0x80; }

// The characters of `line` from `at` that an accented letter became on its
// way: the letter itself, its bare letter with or without a damaged
// character after it (a mark that was lost), or one to three damaged
// characters (its bytes in another encoding). 0 for none of these.
std::size_t AccentedLetterAt(std::string_view line, std::size_t at, char letter) {
  if (at >= line.size()) return 0;
  if (line[at] == letter) return 1;
  if (line[at] == BaseLetter(static_cast<unsigned char>(letter))) {
    return at + 1 < line.size() && Damaged(line[at + 1]) ? 2 : 1;
  }
  std::size_t count = 0;
  while (count < 3 && at + count < line.size() && Damaged(line[at + count])) ++count;
  return count;
}

// Whether `line` is the fixed text `fixed`, its accented letters perhaps
// damaged (which sets `damaged`).
bool IsFixedText(std::string_view line, std::string_view fixed, bool& damaged) {
  std::size_t at = 0;
  bool changed = false;
  for (const char c : fixed) {
    if (static_cast<unsigned char>(c) < 0x80) {
      if (at >= line.size() || line[at] != c) return false;
      ++at;
      continue;
    }
    const std::size_t taken = AccentedLetterAt(line, at, c);
    if (taken == 0) return false;
    changed = changed || taken != 1 || line[at] != c;
    at += taken;
  }
  if (at != line.size()) return false;
  damaged = changed;
  return true;
}

bool Matches(std::string_view line, const Pattern& pattern, bool& damagedAccent) {
  if (!pattern.variable) return IsFixedText(line, pattern.head, damagedAccent);
  const std::string_view head = pattern.head;
  const std::string_view tail = pattern.tail;
  if (line.size() >= head.size() + tail.size() && line.substr(0, head.size()) == head &&
      line.substr(line.size() - tail.size()) == tail) {
    return true;
  }
  return tail.empty() && !head.empty() && head.back() == ' ' &&
         line == head.substr(0, head.size() - 1);
}

}  // namespace

const LineForm& FormOf(LineFormId form) { return Forms[form < std::size(Forms) ? form : NoForm]; }

LineFormId RecogniseLogLine(std::string_view line, bool& damagedAccent) {
  damagedAccent = false;
  const auto group = PatternsByStart().find(line.substr(0, StartLength));
  if (group == PatternsByStart().end()) return NoForm;
  for (const Pattern& pattern : group->second) {
    if (Matches(line, pattern, damagedAccent)) return pattern.form;
  }
  return NoForm;
}

std::string ValueOf(LineFormId form, std::string_view line) {
  const std::string pattern = FormOf(form).pattern;
  const auto mark = pattern.find('%');
  if (mark == std::string::npos) return FormOf(form).value;
  const std::size_t fixed = pattern.size() - 1;
  if (line.size() < fixed) return "";
  return std::string(line.substr(mark, line.size() - fixed));
}

bool EndsInItsValue(LineFormId form) {
  const std::string_view pattern = FormOf(form).pattern;
  return !pattern.empty() && pattern.back() == '%';
}

bool BeginsLogLine(std::string_view text) {
  for (const Pattern& pattern : AllPatterns()) {
    const std::string_view head = pattern.head;
    if (text.size() < head.size() ? head.substr(0, text.size()) == text
                                  : pattern.variable && text.substr(0, head.size()) == head) {
      return true;
    }
  }
  return false;
}

}  // namespace tarvo
