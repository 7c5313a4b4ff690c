#include "helpdesk/log_reading.h"

#include <algorithm>
#include <string>

#include "helpdesk/log_run.h"
#include "platform/disc_files.h"

namespace tarvo {

namespace {

using K = LogLineKind;
using Index = LogRun::Index;
constexpr Index None = LogRun::None;

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

enum class EndingKind { Complete, WithoutClosingLines, BrokeOff, CutOff };

struct Ending {
  EndingKind kind = EndingKind::Complete;
  Index last = 0;  // the last line the launcher wrote before its closing lines
};

// What the file is, and whether it is a launcher's log at all.
void ReadFile(LogRun& run) {
  bool& launcherLog = run.Reading().launcherLog;
  int unknown = 0;
  int firstUnknown = 0;
  bool header = false;
  for (const LogEntry& entry : run.Entries()) {
    if (entry.kind == K::Unknown && unknown++ == 0) firstUnknown = entry.number;
    header = header || entry.kind == K::HeaderFirst || entry.kind == K::HeaderSecond;
    launcherLog = launcherLog || !(entry.kind == K::Unknown || entry.kind == K::Empty ||
                                   entry.kind == K::Exception || entry.kind == K::HeaderRule);
  }
  run.Set("log", "lines", std::to_string(run.Size()));
  run.Set("log", "header", header ? "present" : "missing");
  run.Set("log", "encoding", run.Text().encoding);
  run.Set("log", "line_ends", run.Text().lineEnds);
  if (unknown > 0) {
    run.Set("log", "unrecognised_lines",
            std::to_string(unknown) + ", the first is line " + std::to_string(firstUnknown));
  }
}

// The line after which the run ends of itself: a stop, or the launch.
bool EndsTheRun(const LogRun& run, Index i) {
  const K kind = run.At(i).kind;
  const Index diagnosis = run.Find(K::DiagnosisError);
  return kind == K::OldLauncher || kind == K::InvalidDirectory || kind == K::NoBrowser ||
         kind == K::Document || kind == K::LaunchFailed || (diagnosis != None && diagnosis <= i);
}

std::string Outcome(const LogRun& run, EndingKind ending, Index last) {
  const StageName stage = NameOf(run.At(last).stage);
  if (ending == EndingKind::CutOff) {
    return std::string("not known: the log is cut off in ") + stage.english;
  }
  if (ending == EndingKind::BrokeOff) return std::string("broke off in ") + stage.english;
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
  if (end.kind == K::LibraryHandle && end.value != "0") {
    meaning += " Hier liep de registratiefunctie (DllRegisterServer) van " +
               run.ValueOr(run.FindLast(K::LibraryFile, 0, last), "een bibliotheek") + " vast.";
    advice = std::string(RepairExplorerAdvice) + " Start de cd-rom voortaan zonder /CHECKS.";
  }
  run.Report("run-broke-off", {last}, meaning, advice);
}

void ReportCutOff(LogRun& run, Index last, bool midLine) {
  const LogEntry& end = run.At(last);
  run.Report(
      "log-cut-off", {last},
      std::string("Het bestand houdt op ") + (midLine ? "midden in regel " : "na regel ") +
          std::to_string(end.number) + ", tijdens " + NameOf(end.stage).dutch +
          ", zonder de twee lege regels waarmee de launcher elk logbestand afsluit: het is "
          "ingekort, bijvoorbeeld bij het kopiëren in een e-mail, en wat erna kwam ontbreekt.",
      "Stuur het bestand C:\\LMRSTART.LOG zelf mee als bijlage, in plaats van de inhoud in "
      "de e-mail te plakken.");
}

// The two empty lines the closing steps write, after whatever the run
// wrote last, tell a run that broke off from a file cut short.
Ending ReadEnding(LogRun& run) {
  Ending ending;
  Index last = run.Size();
  while (last-- > 0) {
    if (run.At(last).kind != K::Unknown && run.At(last).kind != K::Empty) break;
  }
  const LogEntry& end = run.At(last);
  const auto emptyAfter =
      std::count_if(run.Entries().begin() + static_cast<std::ptrdiff_t>(last), run.Entries().end(),
                    [](const LogEntry& e) { return e.kind == K::Empty; });
  // The header's own empty lines close nothing.
  const bool closed = emptyAfter >= 2 && end.kind != K::HeaderFirst && end.kind != K::HeaderSecond;
  // Mail programs drop a last line end with the empty lines before it; only
  // a line that does not end the run is taken as cut through.
  const Index final = run.Size() - 1;
  const bool midLine = !run.Text().endsWithLineEnd && !(last == final && EndsTheRun(run, last));
  const Index shown = midLine ? final : last;
  const std::string line = "line " + std::to_string(run.At(shown).number);
  if (midLine) {
    ending.kind = EndingKind::CutOff;
    run.Set("log", "ending", "cut off in the middle of " + line);
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
  ending.last = last;
  run.Set("log", "outcome", Outcome(run, ending.kind, shown));
  if (ending.kind == EndingKind::BrokeOff) ReportBrokeOff(run, shown);
  if (ending.kind == EndingKind::CutOff) ReportCutOff(run, shown, midLine);
  return ending;
}

// The file whose version the GetFileInfo lines just before `at` read.
Index VersionFileBefore(const LogRun& run, Index at) {
  for (Index i = at; at != None && i-- > 0 && run.At(i).detail && run.At(i).kind != K::Empty;) {
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
      " Een oudere launcher start deze cd-rom niet: hij meldde dat de lezer een oude "
      "versie gebruikt en stopte.";
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
  const bool pastChecks = run.Entries().back().stage >= RunStage::Lookup;
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

}  // namespace

LogReading ReadLauncherLog(const LogText& text) {
  LogRun run(text);
  ReadFile(run);
  if (!run.Reading().launcherLog) return std::move(run.Reading());
  const Ending ending = ReadEnding(run);
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
  std::vector<LogFinding>& findings = run.Reading().findings;
  std::stable_sort(findings.begin(), findings.end(), [](const LogFinding& a, const LogFinding& b) {
    return a.lines.back().number < b.lines.back().number;
  });
  return std::move(run.Reading());
}

}  // namespace tarvo
