#include "helpdesk/log_reading.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "helpdesk/log_run.h"
#include "platform/disc_files.h"

namespace tarvo {

namespace {

using K = LogLineKind;
using Index = LogRun::Index;
constexpr Index None = LogRun::None;

// More line numbers than this are told as a count.
constexpr std::size_t MostNumbers = 10;

std::string NumberList(const std::vector<int>& numbers) {
  std::string list;
  for (std::size_t i = 0; i < numbers.size() && i < MostNumbers; ++i) {
    list += (i == 0 ? "" : ", ") + std::to_string(numbers[i]);
  }
  if (numbers.size() > MostNumbers) {
    list += " and " + std::to_string(numbers.size() - MostNumbers) + " more";
  }
  return list;
}

std::string Lines(const std::vector<int>& numbers) {
  return (numbers.size() == 1 ? "line " : "lines ") + NumberList(numbers);
}

std::string Range(std::uint32_t first, std::uint32_t last) {
  return first == last ? "line " + std::to_string(first)
                       : "lines " + std::to_string(first) + "-" + std::to_string(last);
}

std::string Prefixes(const std::vector<LogLines::Prefix>& prefixes) {
  std::string told;
  for (const LogLines::Prefix& prefix : prefixes) {
    const bool blanks = prefix.text.find_first_not_of(' ') == std::string::npos;
    told += (told.empty() ? "" : ", ") +
            (prefix.text.empty()                 ? std::string("others")
             : prefix.text == "\t"               ? std::string("a tab")
             : blanks && prefix.text.size() == 1 ? std::string("a blank")
             : blanks                            ? std::to_string(prefix.text.size()) + " blanks"
                                                 : "\"" + prefix.text + "\"") +
            " before " + std::to_string(prefix.lines) + (prefix.lines == 1 ? " line" : " lines");
  }
  return told;
}

// A run of the launcher in the file: its entries, from its first line of
// the launcher to its last.
struct RunRange {
  std::size_t from;
  std::size_t to;
};

// Where each run begins: at its header, or at line 100 where the header is
// lost. A run needs a line that only the launcher writes.
std::vector<RunRange> SplitRuns(const std::vector<LogEntry>& entries) {
  std::vector<RunRange> runs;
  std::optional<RunRange> current;
  int headerOrder = 0;  // of the last header line of the current run
  bool body = false;    // the current run has a line after its header
  bool startDir = false;
  bool own = false;  // the current run has a line only the launcher writes
  auto close = [&] {
    if (current && own) runs.push_back(*current);
    current.reset();
  };
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const K kind = entries[i].kind;
    if (kind == K::Unknown) continue;
    const int order = kind == K::HeaderFirst    ? 1
                      : kind == K::HeaderSecond ? 2
                      : kind == K::HeaderRule   ? 3
                                                : 0;
    const bool next =
        order != 0 ? body || order <= headerOrder
                   : kind == K::StartDir && (startDir || entries[i].stage > RunStage::StartUp);
    if (next || !current) {
      close();
      current = RunRange{i, i + 1};
      headerOrder = 0;
      body = startDir = own = false;
    }
    current->to = i + 1;
    headerOrder = std::max(headerOrder, order);
    body = body || order == 0;
    startDir = startDir || kind == K::StartDir;
    own = own || !(kind == K::Exception || kind == K::HeaderRule);
  }
  close();
  return runs;
}

// What the file is and what was mended to read it: the facts of "log"
// that come before the run's own.
void ReadFile(LogRun& run, const LogText& text) {
  const LogLines& lines = run.Lines();
  run.Set("log", "lines", std::to_string(lines.fileLines));
  const bool header = run.Find(K::HeaderFirst) != None || run.Find(K::HeaderSecond) != None;
  run.Set("log", "header", header ? "present" : "missing");
  run.Set("log", "encoding", text.encoding);
  run.Set("log", "line_ends", text.lineEnds);
  if (text.padding > 0) {
    run.Set("log", "padding",
            std::to_string(text.padding) + " zero bytes after the text, left out");
  }
  if (!text.strayBytes.empty()) {
    run.Set("log", "stray_bytes",
            Lines(text.strayBytes) + ": a byte that is no UTF-8, read as Windows-1252");
  }
  if (!text.composedAccents.empty()) {
    run.Set("log", "decomposed_accents",
            Lines(text.composedAccents) + ": letters and their separate accents joined");
  }
  if (!lines.prefixes.empty()) {
    run.Set("log", "quoted", Prefixes(lines.prefixes) + ", taken off");
  }
  if (!lines.rejoined.empty()) {
    run.Set("log", "wrapped",
            Lines(lines.rejoined) +
                ": joined with the line after, as a mail "
                "program had wrapped them");
  }
  if (lines.trailingBlanks > 0) {
    run.Set("log", "blanks_at_line_ends",
            std::to_string(lines.trailingBlanks) +
                (lines.trailingBlanks == 1 ? " line ends" : " lines end") +
                " in blanks the launcher did not write: ignored");
  }
  if (!lines.damagedAccents.empty()) {
    run.Set("log", "damaged_accents",
            Lines(lines.damagedAccents) +
                ": an accented letter came through damaged; read as "
                "the launcher's line all the same");
  }
}

// Stretches of the file's lines, told as "lines 1-5, 9": those that touch
// are one, and the first `MostNumbers` are named.
class LineRanges {
 public:
  void Add(std::uint32_t first, std::uint32_t last) {
    if (!ranges_.empty() && ranges_.back().second + 1 >= first) {
      ranges_.back().second = std::max(ranges_.back().second, last);
    } else if (ranges_.size() < MostNumbers) {
      ranges_.emplace_back(first, last);
    } else {
      ++more_;
    }
  }
  bool Empty() const { return ranges_.empty(); }
  std::string Text() const {
    std::string told;
    for (const auto& [first, last] : ranges_) {
      told += (told.empty() ? "" : ", ") + Range(first, last);
    }
    return told + (more_ ? " and " + std::to_string(more_) + " more" : "");
  }

 private:
  std::vector<std::pair<std::uint32_t, std::uint32_t>> ranges_;
  std::size_t more_ = 0;
};

// Lines of the file that are no part of a run: before, between and after
// the runs. Those right after a run's last line, up to an empty line, are
// its own last lines, damaged, which its ending tells.
void ReadTextAround(LogRun& run, const std::vector<RunRange>& runs) {
  const LogLines& lines = run.Lines();
  LineRanges before, between, after;
  for (std::size_t i = 0, r = 0; i < lines.entries.size(); ++i) {
    while (r < runs.size() && i >= runs[r].to) ++r;
    if (r < runs.size() && i >= runs[r].from) continue;
    const LogEntry& entry = lines.entries[i];
    std::uint32_t first = entry.number;
    const std::uint32_t last = entry.number + entry.lines - 1;
    if (r > 0 && i == runs[r - 1].to && entry.kind == K::Unknown &&
        entry.number == lines.entries[i - 1].number + lines.entries[i - 1].lines) {
      std::size_t count = 0;
      StretchLines(lines, entry, 0, true, count);
      first += static_cast<std::uint32_t>(count) + 1;
      if (first > last) continue;
    }
    (r == 0 ? before : r == runs.size() ? after : between).Add(first, last);
  }
  const std::pair<const char*, const LineRanges*> places[] = {
      {"text_before", &before}, {"text_between_runs", &between}, {"text_after", &after}};
  for (const auto& [key, ranges] : places) {
    if (!ranges->Empty()) run.Set("log", key, ranges->Text() + ": not the launcher's, left out");
  }
}

// The file whose version the GetFileInfo lines just before `at` read.
Index VersionFileBefore(const LogRun& run, Index at) {
  for (Index i = at; at != None && i-- > 0 && run.At(i).detail && run.FollowedDirectly(i);) {
    if (run.At(i).kind == K::VersionFile) return i;
  }
  return None;
}

std::string VersionFact(const LogRun& run, Index at) {
  const Index file = VersionFileBefore(run, at);
  const std::string where = file == None ? "" : " (" + run.Value(file) + ")";
  return (run.Value(at).empty() ? "none" : run.Value(at)) + where;
}

void ReportNewerLauncher(LogRun& run, Index own, Index cd, Index old) {
  const std::string running = run.ValueOr(VersionFileBefore(run, own), "TARVO32.EXE");
  const std::string version = run.ValueOr(own, "");
  std::string meaning =
      version.empty()
          ? "De gestarte launcher " + running +
                " heeft geen versie-informatie, dus telt elke versie op de cd-rom als nieuwer."
          : "De gestarte launcher " + running + " heeft versie " + version +
                ", de cd-rom heeft TARVO32.EXE versie " + run.ValueOr(cd, "?") + ".";
  meaning +=
      " Een oudere launcher start deze cd-rom niet: hij meldde dat u een oude versie "
      "gebruikt en stopte.";
  run.Report(
      "newer-launcher-on-cd", {own, cd, old}, meaning,
      "Start de cd-rom met de TARVO32.EXE die op de cd-rom zelf staat: open in Deze computer "
      "het cd-romstation en dubbelklik op TARVO32.EXE. Staat er een oudere kopie van "
      "TARVO32.EXE op uw pc (bijvoorbeeld van een eerdere cd-rom), kopieer dan TARVO32.EXE "
      "van deze cd-rom daaroverheen.");
}

void ReadStartUp(LogRun& run) {
  if (const Index i = run.Find(K::StartDir); i != None) {
    run.Set("start", "start_directory", run.Value(i));
  }
  if (const Index i = run.Find(K::Debug); i != None) {
    run.Set("start", "debug",
            run.Value(i) == "TRUE"    ? "yes"
            : run.Value(i) == "FALSE" ? "no"
                                      : run.Value(i));
  }
  const Index own = run.Find(K::OwnVersion);
  const Index cd = run.Find(K::CdVersion);
  const Index old = run.Find(K::OldLauncher);
  if (own != None) run.Set("start", "launcher", VersionFact(run, own));
  if (cd != None) run.Set("start", "cd_launcher", VersionFact(run, cd));
  if (old != None) {
    run.Set("start", "version_check", "the launcher on the CD is newer: the run stopped");
    ReportNewerLauncher(run, own, cd, old);
  } else if (cd != None) {
    run.Set("start", "version_check", "passed");
  }
  if (const Index i = run.Find(K::VolumeLabel); i != None) {
    run.Set("start", "volume_label",
            run.Value(i) == "Opvragen volumelabel mislukt!" ? "could not be read"
            : run.Value(i).empty()                          ? "(none)"
                                                            : run.Value(i));
  }
  // /CHECKS shows only through the check lines, written before the lookup.
  const bool checks = run.Find(K::ChecksStart) != None;
  const bool pastChecks = run.At(run.Size() - 1).stage >= RunStage::Lookup;
  run.Set("start", "extra_checks",
          checks       ? "yes"
          : pastChecks ? "no"
                       : "not known: the log ends before the checks");
}

void ReadLaunch(LogRun& run, bool endedByTheLauncher) {
  const Index pad = run.Find(K::BrowserPad);
  const Index document = run.Find(K::Document);
  const Index failed = run.Find(K::LaunchFailed);
  if (pad != None) run.Set("launch", "browser", run.Value(pad).empty() ? "(none)" : run.Value(pad));
  if (document != None) run.Set("launch", "document", run.Value(document));
  if (failed == None) {
    if (endedByTheLauncher && document != None) {
      run.Set("launch", "started", "yes");
    }
    return;
  }
  run.Set("launch", "started", "no");
  const std::string browser = run.ValueOr(pad, "");
  run.Report(
      "launch-failed", {pad, document, failed},
      browser.empty()
          ? "Er was geen browser om te starten (de zoektocht op C: vond er geen), dus kon de "
            "launcher de cd-rom niet openen; hij meldde dat de cd-rom niet gestart kon "
            "worden."
          : "Windows kon de browser " + browser + " niet starten op " +
                run.ValueOr(document, "de startpagina") +
                "; de launcher meldde dat de cd-rom niet gestart kon worden.",
      std::string("Open de cd-rom zonder de launcher: open in Deze computer het "
                  "cd-romstation en dubbelklik op ") +
          OverviewPageFile + "." +
          (browser.empty() ? std::string(" ") + InstallBrowserAdvice
                           : " Controleer ook of " + browser +
                                 " zelf nog start, en installeer de browser zo nodig "
                                 "opnieuw."));
}

void ReportUnexplainedErrors(LogRun& run) {
  for (Index i = run.Find(K::Exception); i != None; i = run.Find(K::Exception, i + 1)) {
    if (run.Explained(i)) continue;
    run.Report("error-logged", {i},
               "De launcher schreef een fout in het logbestand die bij geen van zijn bekende "
               "stappen hoort: " +
                   run.Value(i) + ".",
               DebugRunAdvice(run));
  }
}

// The run's own story, after the facts of the file.
void ReadRun(LogRun& run) {
  const Ending ending = ReadEnding(run);
  const auto endingFindings = static_cast<std::ptrdiff_t>(run.Reading().findings.size());
  ReadStartUp(run);
  ReadChecks(run);
  ReadBrowserDetection(run);
  ReadRegistration(run);
  ReadWindow(run);
  ReadStartPage(run);
  const bool endedByTheLauncher =
      ending.kind == EndingKind::Complete || ending.kind == EndingKind::WithoutClosingLines;
  ReadLaunch(run, endedByTheLauncher && run.At(ending.last).kind == K::Document);
  ReportUnexplainedErrors(run);
  // In the order of the run; of two on the same line, the ending's last.
  std::vector<LogFinding>& findings = run.Reading().findings;
  std::rotate(findings.begin(), findings.begin() + endingFindings, findings.end());
  std::stable_sort(findings.begin(), findings.end(), [](const LogFinding& a, const LogFinding& b) {
    return a.lines.back().number < b.lines.back().number;
  });
}

// An earlier run, as one fact of the last: its lines, outcome and findings.
std::string EarlierRun(const LogLines& lines, const RunRange& range) {
  LogRun run(lines, range.from, range.to);
  ReadRun(run);
  const LogReading& reading = run.Reading();
  const LogEntry& last = run.At(run.Size() - 1);
  std::string codes;
  for (const LogFinding& finding : reading.findings) {
    codes += (codes.empty() ? "" : ", ") + finding.code;
  }
  return Range(run.At(0).number, last.number + last.lines - 1) + ": " +
         FactOf(reading, "log", "outcome") + "; " +
         (codes.empty() ? "no problem found" : "findings: " + codes);
}

}  // namespace

LogReading ReadLauncherLog(LogText text) {
  const LogLines lines = NormaliseLogLines(std::move(text.text));
  const std::vector<RunRange> runs = SplitRuns(lines.entries);
  if (runs.empty()) return LogReading();
  LogRun run(lines, runs.back().from, runs.back().to);
  ReadFile(run, text);
  ReadTextAround(run, runs);
  if (runs.size() > 1) {
    run.Set("log", "runs",
            std::to_string(runs.size()) + " in this file; the last, from line " +
                std::to_string(run.At(0).number) + ", is read here");
    for (std::size_t i = 0; i + 1 < runs.size(); ++i) {
      run.Add("log", "earlier_run", EarlierRun(lines, runs[i]));
    }
  }
  ReadRun(run);
  run.Reading().launcherLog = true;
  run.Reading().runs = static_cast<int>(runs.size());
  return std::move(run.Reading());
}

std::string FactOf(const LogReading& reading, const std::string& section, const std::string& key) {
  for (const LogSection& s : reading.sections) {
    if (s.name != section) continue;
    for (const LogFact& fact : s.facts) {
      if (fact.key == key) return fact.value;
    }
  }
  return "";
}

}  // namespace tarvo
