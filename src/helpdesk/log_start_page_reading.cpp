// The log's lines of the start page: the temporary folder, the page made
// from the template, and the diagnosis of a file that failed.
#include <string>
#include <vector>

#include "helpdesk/log_run.h"
#include "platform/disc_files.h"
#include "platform/win32_api.h"

namespace tarvo {

namespace {

using K = LogLineKind;
using Index = LogRun::Index;
constexpr Index None = LogRun::None;

const char* const SetTempAdvice =
    "Stel de omgevingsvariabelen TEMP en TMP in op een bestaande map waarin u mag schrijven, "
    "bijvoorbeeld C:\\WINDOWS\\TEMP: op Windows 95, 98 en ME met de regels "
    "SET TEMP=C:\\WINDOWS\\TEMP en SET TMP=C:\\WINDOWS\\TEMP in C:\\AUTOEXEC.BAT, op Windows NT, "
    "2000, XP en later via Systeem, Geavanceerd, Omgevingsvariabelen. Start daarna de pc "
    "opnieuw en dan de cd-rom.";
const char* const NotStarted = " De launcher stopte zonder de browser te starten.";

struct Diagnosis {
  std::string className;
  std::string message;
  std::string path;  // the page, or the start directory when the template failed
  Index exists = None, date = None, attributes = None, folder = None, drive = None;
  Index free = None, size = None;
  bool folderExists = false;
};

bool IsDiagnosisLine(K kind) {
  return kind == K::DiagnosisExists || kind == K::DiagnosisDate || kind == K::DiagnosisAttributes ||
         kind == K::DiagnosisMissing || kind == K::DiagnosisPresent || kind == K::DiagnosisDrive ||
         kind == K::DiagnosisSize || kind == K::DiagnosisFree || kind == K::Exception;
}

void ReportDiagnosis(LogRun& run, const Diagnosis& d, const std::vector<Index>& lines) {
  const std::string folder = d.folder == None ? "" : run.Value(d.folder);
  const std::string drive = d.path.substr(0, 2);
  const bool templateFailed = d.className == "EFOpenError" || d.className == "EReadError" ||
                              (!d.path.empty() && d.path.back() == '\\');
  // GetFileAttributes gives -1 when it fails: no attributes at all.
  const long long attributes =
      d.attributes == None ? -1 : DecimalNumber(run.Value(d.attributes)).value_or(-1);
  const bool readOnly = attributes >= 0 && (attributes & FileAttributeReadOnly) != 0;
  const long long free = d.free == None ? -1 : DecimalNumber(run.Value(d.free)).value_or(-1);
  const bool folderMissing = d.folder != None && !d.folderExists;
  const bool full = d.className == "EWriteError" || (free == 0 && !folderMissing);
  const std::string error = d.className + ": " + d.message;
  if (templateFailed) {
    run.Report(
        "template-unreadable", lines,
        "De launcher kon het sjabloon van de startpagina (" + std::string(TemplateFile) +
            ") op de cd-rom niet lezen (" + error + "), dus kon hij de startpagina niet maken." +
            NotStarted + " Een vuile of beschadigde cd-rom is de gewone oorzaak.",
        "Maak de cd-rom voorzichtig schoon (met een zachte doek, van het midden naar de rand) "
        "en probeer het opnieuw, zo nodig in een ander cd-romstation. Lukt het dan nog niet, "
        "vraag dan een nieuwe cd-rom aan.");
  } else if (d.exists != None && readOnly) {
    run.Report("start-page-read-only", lines,
               "De startpagina " + d.path + " bestaat al en is alleen-lezen (bestandskenmerk " +
                   run.Value(d.attributes) + ", laatst gewijzigd " + run.ValueOr(d.date, "?") +
                   "), dus kon de launcher hem niet vervangen." + NotStarted,
               "Verwijder het bestand " + d.path +
                   " (of zet in de eigenschappen ervan 'Alleen-lezen' uit) en start de cd-rom "
                   "opnieuw.");
  } else if (full) {
    run.Report("temp-disk-full", lines,
               (d.className == "EWriteError"
                    ? "Het schrijven van de startpagina " + d.path + " brak af (" + error +
                          "): de schijf " + drive + " is vol."
                    : "De schijf " + drive +
                          " met de map voor tijdelijke bestanden is vol (0 bytes "
                          "vrij), dus kon de launcher de startpagina " +
                          d.path + " niet maken.") +
                   NotStarted,
               "Maak ruimte vrij op schijf " + drive +
                   " (leeg de Prullenbak en ruim tijdelijke bestanden op, bijvoorbeeld met "
                   "Schijfopruiming) en start de cd-rom opnieuw.");
  } else if (d.exists != None) {
    run.Report(
        "start-page-locked", lines,
        "De startpagina " + d.path + " bestaat al en " +
            (attributes < 0
                 ? "zijn bestandskenmerken konden niet opgevraagd worden"
                 : "is niet alleen-lezen (bestandskenmerk " + run.Value(d.attributes) + ")") +
            ", maar hij kon niet overschreven worden: een ander programma houdt hem open "
            "(vaak een browser van een vorige start), of u mag hem niet wijzigen." +
            NotStarted,
        "Sluit alle vensters van uw browser of start de pc opnieuw, en start daarna de cd-rom "
        "opnieuw. Helpt dat niet, verwijder dan het bestand " +
            d.path + ".");
  } else if (folderMissing) {
    run.Report("temp-folder-missing", lines,
               "De map voor tijdelijke bestanden " + folder +
                   " bestaat niet, dus kon de launcher de startpagina " + d.path + " niet maken." +
                   NotStarted,
               "Maak de map " + folder + " aan en start de cd-rom opnieuw. Of: " + SetTempAdvice);
  } else if (d.folder != None) {
    const std::string type = run.ValueOr(d.drive, "DRIVE_FIXED");
    run.Report("temp-folder-denied", lines,
               "De map voor tijdelijke bestanden " + folder + " bestaat en " +
                   (free > 0 ? std::string("er is ruimte")
                             : "de vrije ruimte kon niet opgevraagd worden") +
                   ", maar de launcher kon er de startpagina " + d.path +
                   " niet in maken: u mag in die map niet schrijven" +
                   (type == "DRIVE_FIXED" ? "" : " (het station is van het type " + type + ")") +
                   "." + NotStarted,
               SetTempAdvice);
  } else {
    run.Report("start-page-error", lines,
               "De launcher kon de startpagina niet maken (" + error + ")." + NotStarted,
               DebugRunAdvice(run));
  }
}

void ReadDiagnosis(LogRun& run) {
  const Index error = run.Find(K::DiagnosisError);
  if (error == None) return;
  Diagnosis d;
  const std::string& value = run.Value(error);
  const auto colon = value.find(": ");
  d.className = value.substr(0, colon);
  d.message = colon == std::string::npos ? "" : value.substr(colon + 2);
  std::vector<Index> lines{error};
  for (Index i = error + 1; i < run.Size() && IsDiagnosisLine(run.At(i).kind); ++i) {
    lines.push_back(i);
    switch (run.At(i).kind) {
      case K::DiagnosisExists:
        d.exists = i;
        d.path = run.Value(i);
        break;
      case K::DiagnosisDate:
        d.date = i;
        break;
      case K::DiagnosisAttributes:
        d.attributes = i;
        break;
      case K::DiagnosisMissing:
        if (d.path.empty()) {
          d.path = run.Value(i);
        } else {
          d.folder = i;
        }
        break;
      case K::DiagnosisPresent:
        d.folder = i;
        d.folderExists = true;
        break;
      case K::DiagnosisDrive:
        d.drive = i;
        break;
      case K::DiagnosisSize:
        d.size = i;
        break;
      case K::DiagnosisFree:
        d.free = i;
        break;
      default:  // the probe's own error
        run.Explain(i);
        break;
    }
  }
  run.Set("start_page", "error", value);
  if (d.exists != None) {
    run.Set("start_page", "existing_file",
            d.path + ", last written " + run.ValueOr(d.date, "?") + ", attributes " +
                run.ValueOr(d.attributes, "?"));
  } else if (!d.path.empty()) {
    run.Set("start_page", "missing_file", d.path);
  }
  if (d.folder != None) {
    run.Set("start_page", "folder",
            run.Value(d.folder) + (d.folderExists ? " exists" : " does not exist"));
  }
  if (d.drive != None) {
    run.Set("start_page", "drive",
            run.Value(d.drive) + ", size " + run.ValueOr(d.size, "?") + ", free " +
                run.ValueOr(d.free, "?"));
  }
  ReportDiagnosis(run, d, lines);
}

}  // namespace

void ReadStartPage(LogRun& run) {
  const Index failed = run.Find(K::NoTempPath);
  const Index temp = run.Find(K::TempDir);
  const Index startDir = run.Find(K::TempIsStartDir);
  if (failed != None) run.Set("start_page", "temp_path", "GetTempPath failed");
  if (temp != None) {
    run.Set("start_page", "temp_directory",
            run.Value(temp) + (startDir == None ? "" : ", the start directory itself: C:\\ used"));
  }
  if (failed != None || startDir != None) {
    run.Report(
        "no-temp-folder", {failed, temp, startDir},
        startDir != None
            ? "Windows gaf als map voor tijdelijke bestanden de startdirectory van de cd-rom "
              "op (" +
                  run.ValueOr(temp, "?") +
                  "); dat gebeurt als de omgevingsvariabelen TEMP en TMP niet zijn ingesteld. "
                  "De launcher schreef de startpagina daarom in C:\\ en meldde dat."
            : "Windows kon geen map voor tijdelijke bestanden opgeven (GetTempPath "
              "mislukte). De launcher schreef de startpagina daarom in C:\\.",
        SetTempAdvice);
  }
  if (const Index i = run.Find(K::MainPageAddress); i != None) {
    run.Set("start_page", "main_page_address", run.Value(i));
  }
  if (const Index i = run.Find(K::StartPageFile); i != None) {
    run.Set("start_page", "file", run.Value(i));
  }
  if (run.Find(K::StartPageWritten) != None) run.Set("start_page", "written", "yes");
  ReadDiagnosis(run);
  for (Index i = 0; i < run.Size(); ++i) {
    if (run.At(i).kind != K::Exception || run.At(i).stage != RunStage::StartPage ||
        run.Explained(i)) {
      continue;
    }
    run.Explain(i);
    run.Set("start_page", "error", run.Value(i));
    run.Report("start-page-error", {i},
               "Bij het maken van de startpagina trad een onverwachte fout op (" + run.Value(i) +
                   "); de launcher startte de browser daarom zonder de startpagina.",
               DebugRunAdvice(run));
  }
}

}  // namespace tarvo
