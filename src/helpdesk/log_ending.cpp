// How a run's log ends: as the launcher ends a run, broken off by an error,
// or cut short or damaged on its way to the helpdesk.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "helpdesk/log_run.h"

namespace tarvo {

namespace {

using K = LogLineKind;
using Index = LogRun::Index;
constexpr Index None = LogRun::None;
// A finding names at most this many lines that cannot be read.
constexpr std::size_t MostUnreadableLines = 10;

const char* const SendTheFileAdvice =
    "Stuur het bestand C:\\LMRSTART.LOG zelf mee als bijlage, in plaats van de inhoud in de "
    "e-mail te plakken.";

struct StageName {
  const char* english;
  const char* dutch;  // after "tijdens"
};

StageName NameOf(RunStage stage) {
  switch (stage) {
    case RunStage::Header:
      return {"the start steps, before line 100", "de voorbereiding, nog voor regel 100"};
    case RunStage::StartUp:
      return {"the launcher's version check", "de controle van de versie van de launcher"};
    case RunStage::Checks:
      return {"the built-in checks of /CHECKS", "de ingebouwde controles van /CHECKS"};
    case RunStage::Lookup:
      return {"the lookup of the browser", "het opzoeken en herkennen van de standaardbrowser"};
    case RunStage::Search:
      return {"the search of drive C: for a better browser",
              "het zoeken naar een betere browser op C:"};
    case RunStage::Registration:
      return {"the registry entries", "het registreren van de startbestanden"};
    case RunStage::Window:
      return {"the window size", "het bepalen van de venstergrootte"};
    case RunStage::StartPage:
      return {"the start page", "het maken van de startpagina"};
    case RunStage::Launch:
      return {"the browser's launch", "het starten van de browser"};
  }
  return {"", ""};
}

// Of a run without /CHECKS, the lines written with the problem mark: every
// exception line but the search's of drive C: (the catalogue is copied
// before the search, at the first identification).
bool CarriesProblem(const LogRun& run, Index i) {
  const LogEntry& entry = run.At(i);
  return entry.kind == K::NoBetterBrowser || entry.kind == K::LaunchFailed ||
         entry.kind == K::DiagnosisError ||
         (entry.kind == K::Exception && entry.stage != RunStage::Search);
}

// A run without /DEBUG and /CHECKS keeps its log only when a line was
// written with the problem mark: without such a line, lines are missing.
bool KeptWithoutReason(const LogRun& run) {
  const Index debug = run.Find(K::Debug);
  if (debug == None || run.Value(debug) != "FALSE" || run.Find(K::ChecksStart) != None) {
    return false;
  }
  for (Index i = 0; i < run.Size(); ++i) {
    if (CarriesProblem(run, i)) return false;
  }
  return true;
}

std::string Outcome(const LogRun& run, EndingKind ending, Index last) {
  const StageName stage = NameOf(run.At(last).stage);
  switch (ending) {
    case EndingKind::CutOff:
      return std::string("not known: the log is cut off in ") + stage.english;
    case EndingKind::Damaged:
      return std::string("not known: the log's last lines cannot be read, after ") + stage.english;
    case EndingKind::BrokeOff:
      return std::string("broke off in ") + stage.english;
    default:
      break;
  }
  switch (run.At(last).kind) {
    case K::OldLauncher:
      return "stopped: the launcher on the CD is newer";
    case K::InvalidDirectory:
      return "stopped: the start directory holds no disc";
    case K::NoBrowser:
      return "stopped: no browser";
    case K::Document:
      return "the browser started";
    case K::LaunchFailed:
      return "the browser could not be started";
    default:
      return "stopped: the start page could not be made";
  }
}

void ReportBrokeOff(LogRun& run, Index last) {
  const LogEntry& end = run.At(last);
  std::string meaning = std::string("De launcher brak af tijdens ") + NameOf(end.stage).dutch +
                        ", na regel " + std::to_string(end.number) +
                        ", door een fout die geen enkele routine opving. Zo'n fout komt niet "
                        "in het logbestand: de launcher toonde hem in een venster 'Application "
                        "Error' met de naam en de tekst van de fout, en sloot daarna het "
                        "logbestand af.";
  std::string advice =
      "Schrijf ons wat er in het venster 'Application Error' stond (de naam van de fout en de "
      "tekst eronder). " +
      DebugRunAdvice(run);
  if (end.kind == K::LibraryHandle && run.Value(last) != "0") {
    meaning += " Hier liep de registratiefunctie (DllRegisterServer) van " +
               run.ValueOr(run.FindLast(K::LibraryFile, 0, last), "een bibliotheek") + " vast.";
    advice = std::string(RepairExplorerAdvice) + " Start de cd-rom voortaan zonder /CHECKS.";
  }
  run.Report("run-broke-off", {last}, meaning, advice);
}

void ReportCutOff(LogRun& run, const NumberedLine& line, RunStage stage, bool midLine) {
  run.ReportLines(
      "log-cut-off", {line},
      std::string("Het bestand houdt op ") + (midLine ? "midden in regel " : "na regel ") +
          std::to_string(line.number) + ", tijdens " + NameOf(stage).dutch +
          ", zonder de twee lege regels waarmee de launcher elk logbestand afsluit: het "
          "is ingekort, bijvoorbeeld bij het kopiëren in een e-mail, en wat erna kwam "
          "ontbreekt.",
      SendTheFileAdvice);
}

NumberedLine LineAt(const LogRun& run, Index i) {
  return {static_cast<int>(run.At(i).number), std::string(run.Text(i))};
}

void ReportWithoutReason(LogRun& run) {
  run.Report("log-damaged", {run.Find(K::Debug)},
             "Dit is het logbestand van een start zonder /DEBUG en zonder /CHECKS (regel 101 "
             "zegt 'Debug = FALSE', en er is geen regel C00). Zo'n logbestand bewaart de "
             "launcher alleen als hij een probleem schreef, maar geen van de regels is zo'n "
             "probleem: er ontbreken regels, bijvoorbeeld aan het eind. Hoe de start afliep, is "
             "daardoor niet te zeggen.",
             SendTheFileAdvice);
}

// The lines of the run that are none of the launcher's, with those right
// after its last line up to the first empty one (its own last lines,
// damaged): each found, the first `MostUnreadableLines` told.
struct Unreadable {
  std::vector<NumberedLine> lines;
  std::size_t count = 0;
  std::vector<NumberedLine> tail;  // the first of those after its last line
  std::size_t tailCount = 0;
};

void AddStretch(const LogRun& run, const LogEntry& stretch, bool tail, Unreadable& unreadable) {
  std::size_t count = 0;
  const std::size_t most = MostUnreadableLines - unreadable.lines.size();
  const std::vector<NumberedLine> lines = StretchLines(run.Lines(), stretch, most, tail, count);
  unreadable.count += count;
  unreadable.lines.insert(unreadable.lines.end(), lines.begin(), lines.end());
  if (tail) {
    // Its last line, which may be one cut through, is told in any case.
    unreadable.tail = StretchLines(run.Lines(), stretch, 1, true, count);
    unreadable.tailCount = count;
  }
}

Unreadable FindUnreadable(const LogRun& run) {
  Unreadable unreadable;
  for (Index i = 0; i < run.Size(); ++i) {
    if (run.At(i).kind == K::Unknown) AddStretch(run, run.At(i), false, unreadable);
  }
  const LogEntry* next = run.After();
  if (next && next->kind == K::Unknown && run.FollowedDirectly(run.Size() - 1)) {
    AddStretch(run, *next, true, unreadable);
  }
  return unreadable;
}

void ReportUnreadable(LogRun& run, const Unreadable& unreadable) {
  const std::size_t told = unreadable.lines.size();
  std::string numbers;
  for (std::size_t i = 0; i < told; ++i) {
    numbers += (i == 0                                      ? ""
                : i + 1 == told && told == unreadable.count ? " en "
                                                            : ", ") +
               std::to_string(unreadable.lines[i].number);
  }
  if (told < unreadable.count) numbers += " en nog " + std::to_string(unreadable.count - told);
  run.Set("log", "unrecognised_lines",
          std::to_string(unreadable.count) + ", the first is line " +
              std::to_string(unreadable.lines.front().number));
  run.ReportLines(
      "log-damaged", unreadable.lines,
      std::string(unreadable.count == 1 ? "Regel " : "De regels ") + numbers +
          (unreadable.count == 1 ? " is geen regel" : " zijn geen regels") +
          " zoals de launcher ze schrijft, ook niet na het herstel van wat "
          "e-mailprogramma's met een logbestand doen: " +
          (unreadable.count == 1 ? "hij is" : "ze zijn") +
          " onderweg beschadigd. Wat de launcher daar schreef, is niet te lezen; een "
          "probleem dat erin stond, ontbreekt in deze uitleg." +
          (unreadable.tail.empty() ? "" : " Ook het eind van de start is daardoor onbekend."),
      SendTheFileAdvice);
}

}  // namespace

bool EndsTheRun(const LogRun& run, Index i) {
  const K kind = run.At(i).kind;
  const Index diagnosis = run.Find(K::DiagnosisError);
  return kind == K::OldLauncher || kind == K::InvalidDirectory || kind == K::NoBrowser ||
         kind == K::Document || kind == K::LaunchFailed || (diagnosis != None && diagnosis <= i);
}

// The two empty lines the closing steps write, after whatever the run
// wrote last, tell a run that broke off from a file cut short.
Ending ReadEnding(LogRun& run) {
  const LogLines& lines = run.Lines();
  Ending ending;
  ending.last = run.Size() - 1;
  const Index last = ending.last;
  const LogEntry& end = run.At(last);
  const LogEntry* next = run.After();
  const std::uint32_t lastLine = end.number + end.lines - 1;
  const auto fileLines = static_cast<std::uint32_t>(lines.fileLines);
  const std::uint32_t emptyAfter = (next ? next->number : fileLines + 1) - lastLine - 1;
  // The header's own empty lines close nothing.
  const bool closed = emptyAfter >= 2 && end.kind != K::HeaderFirst && end.kind != K::HeaderSecond;
  Unreadable unreadable = FindUnreadable(run);
  // Mail programs drop a last line end with the empty lines before it; only
  // a line that does not end the run, or the start of one of the
  // launcher's lines right after the last, is taken as cut through.
  std::optional<NumberedLine> cut;
  if (!lines.endsWithLineEnd && lastLine == fileLines && !EndsTheRun(run, last)) {
    cut = LineAt(run, last);
  } else if (!lines.endsWithLineEnd && unreadable.tailCount == 1 &&
             unreadable.tail[0].number == static_cast<int>(fileLines) &&
             BeginsLogLine(unreadable.tail[0].text)) {
    // The line cut through is no unreadable one.
    cut = unreadable.tail[0];
    unreadable.count -= 1;
    unreadable.tail.clear();
    const auto told =
        std::find_if(unreadable.lines.begin(), unreadable.lines.end(),
                     [&cut](const NumberedLine& l) { return l.number == cut->number; });
    if (told != unreadable.lines.end()) unreadable.lines.erase(told);
  }
  const std::string line = "line " + std::to_string(end.number);
  if (cut) {
    ending.kind = EndingKind::CutOff;
    run.Set("log", "ending", "cut off in the middle of line " + std::to_string(cut->number));
  } else if (!unreadable.tail.empty()) {
    ending.kind = EndingKind::Damaged;
    run.Set("log", "ending", "not known: the lines after " + line + " cannot be read");
  } else if (EndsTheRun(run, last)) {
    ending.kind = closed ? EndingKind::Complete : EndingKind::WithoutClosingLines;
    run.Set("log", "ending", closed ? "complete" : "without the two empty lines that close a log");
  } else if (closed) {
    ending.kind = EndingKind::BrokeOff;
    run.Set("log", "ending", "broke off after " + line);
  } else {
    ending.kind = EndingKind::CutOff;
    run.Set("log", "ending", "cut off after " + line);
  }
  run.Set("log", "outcome", Outcome(run, ending.kind, last));
  const bool withoutReason = ending.kind != EndingKind::CutOff &&
                             ending.kind != EndingKind::Damaged && KeptWithoutReason(run);
  if (withoutReason) {
    ending.kind = EndingKind::Damaged;
    run.Set("log", "ending", "damaged: the line that made the launcher keep this log is missing");
    run.Set("log", "outcome", "not known: lines are missing from the log");
  }
  if (unreadable.count > 0) ReportUnreadable(run, unreadable);
  if (withoutReason && unreadable.count == 0) ReportWithoutReason(run);
  if (ending.kind == EndingKind::BrokeOff) ReportBrokeOff(run, last);
  if (ending.kind == EndingKind::CutOff) {
    ReportCutOff(run, cut.value_or(LineAt(run, last)), end.stage, cut.has_value());
  }
  return ending;
}

}  // namespace tarvo
