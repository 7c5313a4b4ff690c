// The log's lines of system registration: the built-in checks of /CHECKS
// with their two repairs, and the run files' registry entries.
#include <algorithm>
#include <string>
#include <vector>

#include "helpdesk/log_run.h"

namespace tarvo {

namespace {

using K = LogLineKind;
using Index = LogRun::Index;
constexpr Index None = LogRun::None;

std::string Joined(const std::vector<std::string>& texts) {
  std::string joined;
  for (const std::string& text : texts) joined += (joined.empty() ? "" : ", ") + text;
  return joined;
}

std::string KeysText(const std::vector<std::string>& keys) {
  return (keys.size() == 1 ? "de registersleutel " : "de registersleutels ") + Joined(keys);
}

const char* RegistryConsequence(const std::string& routine) {
  if (routine == "30") {
    return "Daardoor opent Windows de startbestanden (.lmr) van de cd-rom niet met het "
           "startprogramma van de cd-rom, en starten programma's vanuit de interface niet.";
  }
  if (routine == "31" || routine == "32") {
    return "Daardoor geeft Netscape Navigator de startbestanden (.lmr) van de cd-rom niet door "
           "aan het startprogramma van de cd-rom.";
  }
  if (routine == "33") {
    return "Daardoor vraagt Internet Explorer bij elk startbestand (.lmr) van de cd-rom of het "
           "geopend of opgeslagen moet worden.";
  }
  return "Daardoor werken de startbestanden (.lmr) van de cd-rom misschien niet vanuit de "
         "interface.";
}

struct LibraryOutcome {
  K kind;
  const char* english;
  const char* dutch;  // what went wrong; none when nothing did
};

// The script-error repair mends Internet Explorer only; its registration
// functions fail where the reader may not change the machine's register.
std::string ScriptRepairAdvice(const LogRun& run, bool registrationFailed) {
  const std::string code = ChosenBrowserCode(run);
  if (!code.empty() && code.find("IE") == std::string::npos) {
    return "Deze controle herstelt alleen Internet Explorer, en uw browser (code " + code +
           ") is een andere: voor de cd-rom is ze niet nodig. Start de cd-rom voortaan zonder "
           "/CHECKS.";
  }
  return registrationFailed
             ? std::string(AdministratorAdvice) + " Helpt dat niet, dan: " + RepairExplorerAdvice
             : RepairExplorerAdvice;
}

void ReadLibrary(LogRun& run, Index file, Index next) {
  static const LibraryOutcome outcomes[] = {
      {K::LibraryMissing, "not present", nullptr},
      {K::LibraryLoadFailed, "could not be loaded", "Windows kon het bestand niet laden"},
      {K::LibraryNoEntry, "has no DllRegisterServer",
       "het bestand heeft geen registratiefunctie (DllRegisterServer)"},
      {K::LibraryRegistered, "registered again", nullptr},
      {K::LibraryNotRegistered, "its registration failed",
       "de registratiefunctie (DllRegisterServer) meldde een fout"},
  };
  for (Index i = file + 1; i < next; ++i) {
    for (const LibraryOutcome& outcome : outcomes) {
      if (run.At(i).kind != outcome.kind) continue;
      run.Add("checks", "library", run.Value(file) + ": " + outcome.english);
      if (outcome.dutch) {
        run.Report("script-repair-failed", {file, i},
                   "De controle tegen scriptfouten van /CHECKS kon " + run.Value(file) +
                       " niet opnieuw registreren: " + outcome.dutch +
                       ". De scriptfouten in Internet Explorer die deze controle moet verhelpen, "
                       "kunnen dus blijven.",
                   ScriptRepairAdvice(run, outcome.kind == K::LibraryNotRegistered));
      }
      return;
    }
  }
  run.Add("checks", "library", run.Value(file) + ": no outcome in the log");
}

const char* const HtmKey = "HKEY_CLASSES_ROOT\\.htm";

// The .htm repair's lines after "registreren": the keys it could not make
// and the error that ended it.
struct HtmRepair {
  Index registering = None;
  std::vector<Index> lines;
  std::vector<std::string> keys;
  std::string error;
};

HtmRepair FindHtmRepair(const LogRun& run) {
  HtmRepair repair;
  const Index start = run.Find(K::ChecksStart);
  const Index end = std::min(run.Find(K::HtmlFile, start == None ? run.Size() : start), run.Size());
  repair.registering = start == None ? None : run.Find(K::HtmRegistering, start, end);
  if (repair.registering == None) return repair;
  repair.lines.push_back(repair.registering);
  for (Index i = repair.registering; i < end; ++i) {
    const K kind = run.At(i).kind;
    if (kind == K::HtmKeyFailed) repair.keys.push_back(run.Value(i));
    if (kind == K::Exception) repair.error = run.Value(i);
    if (kind == K::HtmKeyFailed || kind == K::Exception) repair.lines.push_back(i);
  }
  return repair;
}

// What the browser lookup after a half-done repair found.
std::string AfterHalfRepair(const LogRun& run) {
  const Index code = run.Find(K::FindExecutable);
  const long long found = code == None ? 0 : DecimalNumber(run.Value(code)).value_or(0);
  if (code == None) {
    return "Windows heeft daardoor misschien geen programma meer voor HTML-bestanden.";
  }
  if (found > 32) {
    return "Dat type had nog de opdracht van een eerdere keer, dus HTML-bestanden openen nu met " +
           run.ValueOr(run.Find(K::BrowserStr), "die browser") + ".";
  }
  return "Daardoor heeft Windows geen programma meer voor HTML-bestanden (FindExecutable gaf "
         "daarna " +
         run.Value(code) + ").";
}

void ReadHtmRepair(LogRun& run, Index start, Index end) {
  const HtmRepair repair = FindHtmRepair(run);
  if (repair.registering == None) {
    if (run.Find(K::HtmRepairDone, start, end) != None) {
      run.Set("checks", "htm_association", "not changed: the search found no browser");
    }
    return;
  }
  const std::string& browser = run.Value(repair.registering);
  if (repair.keys.empty() && repair.error.empty()) {
    if (run.Find(K::HtmRegistered, repair.registering, end) != None) {
      run.Set("checks", "htm_association", browser + " now opens .htm files");
    }
    return;  // or the log ends before the repair did
  }
  for (const Index i : repair.lines) {
    if (run.At(i).kind == K::Exception) run.Explain(i);
  }
  const std::string failed = (repair.keys.empty() ? "een waarde in het register niet schrijven"
                                                  : KeysText(repair.keys) + " niet aanmaken") +
                             (repair.error.empty() ? "" : " (" + repair.error + ")");
  std::string meaning = "De herstelactie van /CHECKS wilde .htm-bestanden koppelen aan " + browser +
                        ", maar kon " + failed;
  if (!repair.keys.empty() && repair.keys.front() == HtmKey) {
    run.Set("checks", "htm_association", "not changed: registering " + browser + " failed");
    meaning += "; HTML-bestanden openen dus nog met de vorige browser.";
  } else if (HtmRepairLeftHalfDone(run)) {
    run.Set("checks", "htm_association",
            "half changed: .htm points at Lumora.htmlfile, which got no open command");
    meaning +=
        ". Toen was .htm al aan het bestandstype Lumora.htmlfile gekoppeld, maar dat type "
        "kreeg geen opdracht om de browser te starten. " +
        AfterHalfRepair(run);
  } else {
    run.Set("checks", "htm_association", "not known: registering " + browser + " failed");
    meaning += "; hoe ver de koppeling kwam, zegt het logbestand niet.";
  }
  run.Report("htm-repair-failed", repair.lines, meaning, AdministratorAdvice);
}

}  // namespace

bool HtmRepairLeftHalfDone(const LogRun& run) {
  const HtmRepair repair = FindHtmRepair(run);
  return !repair.keys.empty() && repair.keys.front() != HtmKey;
}

void ReadChecks(LogRun& run) {
  const Index start = run.Find(K::ChecksStart);
  if (start == None) return;
  const Index end = std::min(run.Find(K::HtmlFile, start), run.Size());
  const Index length = run.Find(K::SystemDirLength, start, end);
  const Index directory = run.Find(K::SystemDir, start, end);
  if (directory != None) {
    run.Set("checks", "system_directory", run.Value(directory));
  } else if (length != None) {
    run.Set("checks", "system_directory", "not known (length " + run.Value(length) + ")");
    run.Report("script-repair-failed", {length},
               "De controle tegen scriptfouten van /CHECKS kon de systeemmap van Windows niet "
               "opvragen (lengte " +
                   run.Value(length) + ") en heeft Internet Explorer dus niet hersteld.",
               ScriptRepairAdvice(run, false));
  }
  for (Index i = run.Find(K::LibraryFile, start, end); i != None;
       i = run.Find(K::LibraryFile, i + 1, end)) {
    ReadLibrary(run, i, std::min(run.Find(K::LibraryFile, i + 1, end), end));
  }
  ReadSearch(run, start, std::min(run.Find(K::HtmRegistering, start, end), end), "repair_search");
  ReadHtmRepair(run, start, end);
}

void ReadRegistration(LogRun& run) {
  const Index start = run.Find(K::Registration);
  if (start == None) return;
  struct Failure {
    std::string routine;  // the hundreds and tens of its lines: "30", "31", ...
    std::vector<Index> lines;
    std::vector<std::string> keys;
    std::string error;
  };
  std::vector<Failure> failures;
  bool open = false;  // the last failure may still get its exception line
  Index i = start;
  for (; i < run.Size() && run.At(i).stage == RunStage::Registration; ++i) {
    const LogEntry& entry = run.At(i);
    if (entry.kind == K::BetaValueRemoved) run.Set("registration", "beta_value_removed", "yes");
    if (entry.kind == K::KeyFailed) {
      const std::string routine = std::string(run.Text(i).substr(0, 2));
      if (!open || failures.back().routine != routine) failures.push_back({routine, {}, {}, ""});
      open = true;
      failures.back().lines.push_back(i);
      failures.back().keys.push_back(run.Value(i));
      run.Add("registration", "failed_key", run.Value(i));
    }
    if (entry.kind == K::Exception && !run.Explained(i)) {
      if (!open) failures.push_back({});
      open = false;
      failures.back().lines.push_back(i);
      failures.back().error = run.Value(i);
      run.Explain(i);
      run.Add("registration", "error", run.Value(i));
    }
  }
  if (!failures.empty()) {
    run.Set("registration", "result", "not every key written");
  } else if (i < run.Size()) {
    run.Set("registration", "result", "every key written");
  }
  for (const Failure& failure : failures) {
    run.Report(
        "registry-key-failed", failure.lines,
        (failure.keys.empty() ? "De launcher kon een waarde in het register niet schrijven"
                              : "De launcher kon " + KeysText(failure.keys) + " niet aanmaken") +
            (failure.error.empty() ? "" : " (" + failure.error + ")") + ". " +
            RegistryConsequence(failure.routine),
        AdministratorAdvice);
  }
}

}  // namespace tarvo
