// The log's lines of browser detection: the browser Windows opens HTML files
// with, its identification against the catalogue, the copy of the catalogue,
// the search of drive C: and the window the browser gets.
#include <algorithm>
#include <string>

#include "helpdesk/log_run.h"
#include "platform/ascii_case.h"
#include "platform/disc_files.h"

namespace tarvo {

namespace {

using K = LogLineKind;
using Index = LogRun::Index;
constexpr Index None = LogRun::None;

struct Pixels {
  long long width = 0;
  long long height = 0;

  std::string Text() const { return std::to_string(width) + " x " + std::to_string(height); }
};

// "800 bij 572" as its width and height; false for any other text.
bool ReadPixels(const std::string& text, Pixels& pixels) {
  const auto by = text.find(" bij ");
  if (by == std::string::npos) return false;
  const auto width = DecimalNumber(text.substr(0, by));
  const auto height = DecimalNumber(text.substr(by + 5));
  if (!width || !height) return false;
  pixels = {*width, *height};
  return true;
}

std::string FindExecutableMeaning(const std::string& code) {
  const long long number = DecimalNumber(code).value_or(0);
  if (number > 32) return "found";
  switch (number) {
    case 2:
      return "file not found";
    case 3:
      return "path not found";
    case 5:
      return "access denied";
    case 31:
      return "no program opens .htm files";
    default:
      return "failed";
  }
}

const char* const StartFromTheDiscAdvice =
    "Start de cd-rom vanaf de cd-rom zelf: open in Deze computer het cd-romstation en "
    "dubbelklik op TARVO32.EXE. Geeft u zelf een directory op (zoals D:\\), dan moet dat de "
    "hoofdmap van de cd-rom zijn. Lukt het zo ook niet, maak de cd-rom dan voorzichtig schoon "
    "en probeer het opnieuw.";

bool EndsWithAsciiInsensitive(const std::string& text, const std::string& end) {
  return text.size() >= end.size() &&
         AsciiUpperCase(text.substr(text.size() - end.size())) == AsciiUpperCase(end);
}

// The lines of one identification, from its "FileName" to its code.
void ReadIdentification(LogRun& run, Index file, const char* section) {
  const Index code = run.Find(K::BrowserCode, file);
  if (code == None || run.Find(K::BrowserFile, file + 1, code) != None) return;
  if (const Index version = run.Find(K::BrowserVersion, file, code); version != None) {
    run.Set(section, "version", run.Value(version).empty() ? "(none)" : run.Value(version));
  }
  const Index entry = run.FindLast(K::BrowserEntry, file, code);
  const Index name = run.FindLast(K::BrowserName, file, code);
  run.Set(section, "entry",
          entry == None ? "none matches"
                        : run.Value(entry) + (name == None ? "" : " (" + run.Value(name) + ")"));
  run.Set(section, "code", run.Value(code));
}

// The catalogue copy's own exception line follows its announcement.
bool IsCopyFailure(const LogRun& run, Index i) {
  return i > 0 && i < run.Size() && run.At(i).kind == K::Exception &&
         run.At(i - 1).kind == K::CatalogueCopy;
}

bool CatalogueUnread(const LogRun& run) {
  const Index windows = run.Find(K::CatalogueWindowsVersion);
  return windows == None || run.Value(windows) == "0";
}

void ReadLookup(LogRun& run) {
  const Index html = run.Find(K::HtmlFile);
  if (html == None) return;
  run.Set("browser", "html_file", run.Value(html));
  const Index code = run.Find(K::FindExecutable, html);
  const Index path = run.Find(K::BrowserStr, html);
  const Index missing = run.Find(K::BrowserMissing, html);
  if (code != None) {
    run.Set("browser", "find_executable",
            run.Value(code) + " (" + FindExecutableMeaning(run.Value(code)) + ")");
  }
  if (path != None) {
    run.Set("browser", "registered_browser",
            run.Value(path) + (missing == None ? "" : " (missing)"));
  }
  if (const Index stop = run.Find(K::InvalidDirectory, html); stop != None) {
    run.Report("start-directory-invalid", {html, code, stop},
               "In de startdirectory " + run.StartDirectory() + " staat geen " + MainPageFile +
                   " (FindExecutable gaf " + run.ValueOr(code, "2") +
                   ": bestand niet gevonden): de launcher is niet vanaf de cd-rom gestart, of met "
                   "een directory op de opdrachtregel waar de cd-rom niet staat. Hij meldde dat de "
                   "startdirectory niet bestaat en stopte.",
               StartFromTheDiscAdvice);
  }
  if (const Index stop = run.Find(K::NoBrowser, html); stop != None) {
    if (code != None && run.Value(code) == "3") {
      run.Report("start-directory-invalid", {html, code, stop},
                 "FindExecutable gaf 3 (pad niet gevonden): de map van " + run.Value(html) +
                     " bestaat niet of kon niet gelezen worden. De launcher is dus niet vanaf de "
                     "cd-rom gestart, met een startdirectory die niet bestaat, of de cd-rom kon "
                     "niet gelezen worden. Hij meldde dat er geen browser is geïnstalleerd, maar "
                     "dat is hier niet de oorzaak, en stopte.",
                 StartFromTheDiscAdvice);
    } else if (missing != None) {
      run.Report(
          "browser-file-missing", {path, missing, stop},
          "HTML-bestanden zijn gekoppeld aan " + run.Value(path) +
              ", maar dat bestand bestaat niet meer: de browser is verwijderd of verplaatst. "
              "De launcher meldde dat er geen browser is geïnstalleerd en stopte.",
          "Installeer de browser opnieuw, of stel een andere browser in als standaardbrowser "
          "(de meest recente versies van ondersteunde browsers staan op de cd-rom), en start "
          "daarna de cd-rom opnieuw.");
    } else if (HtmRepairLeftHalfDone(run)) {
      run.Report("no-browser-registered", {code, stop},
                 "Windows heeft geen programma om HTML-bestanden mee te openen (FindExecutable "
                 "gaf " +
                     run.ValueOr(code, "?") +
                     "): de herstelactie van /CHECKS koppelde .htm-bestanden aan het bestandstype "
                     "Lumora.htmlfile, maar kon dat type geen opdracht geven om de browser te "
                     "starten (zie htm-repair-failed). De launcher meldde dat er geen browser is "
                     "geïnstalleerd en stopte.",
                 std::string("Uw browser is er nog; alleen de koppeling is half hersteld. ") +
                     AdministratorAdvice + " Of stel uw browser opnieuw in als standaardbrowser.");
    } else {
      run.Report(
          "no-browser-registered", {code, stop},
          "Windows heeft geen programma om HTML-bestanden mee te openen (FindExecutable gaf " +
              run.ValueOr(code, "?") +
              "): er is geen browser geïnstalleerd, of de koppeling van .htm-bestanden aan "
              "de browser is verloren gegaan. De launcher meldde dat er geen browser is "
              "geïnstalleerd en stopte.",
          "Installeer een browser (de meest recente versies van ondersteunde browsers staan "
          "op de cd-rom) of stel uw browser opnieuw in als standaardbrowser, en start daarna "
          "de cd-rom opnieuw.");
    }
  }
  if (const Index file = run.FindInStage(K::BrowserFile, RunStage::Lookup); file != None) {
    ReadIdentification(run, file, "browser");
  }
}

void ReadCatalogue(LogRun& run) {
  const Index cd = run.Find(K::CatalogueCd);
  if (cd == None) return;
  const Index cdVersion = run.Find(K::CatalogueCdVersion, cd);
  const Index length = run.Find(K::WindowsDirLength, cd);
  const Index windows = run.Find(K::CatalogueWindows, cd);
  const Index windowsVersion = run.Find(K::CatalogueWindowsVersion, cd);
  const Index copy = run.Find(K::CatalogueCopy, cd);
  const Index used = run.Find(K::BrowserCatalogue, cd);
  run.Set("catalogue", "cd",
          run.Value(cd) + (cdVersion == None ? "" : ", version " + run.Value(cdVersion)));
  if (windows != None) {
    run.Set("catalogue", "windows",
            run.Value(windows) +
                (windowsVersion == None ? "" : ", version " + run.Value(windowsVersion)));
  } else if (length != None) {
    run.Set("catalogue", "windows",
            "none: the Windows directory is not known (length " + run.Value(length) + ")");
  }
  const Index failure = copy != None && IsCopyFailure(run, copy + 1) ? copy + 1 : None;
  if (failure != None && windows == None) {
    run.Explain(failure);
    run.Set("catalogue", "copy", "failed: " + run.Value(failure));
    run.Report("catalogue-copy-failed", {length, copy, failure},
               "Windows gaf de launcher zijn Windows-map niet op (lengte " +
                   run.ValueOr(length, "?") +
                   "), dus kon hij de browsercatalogus van de cd-rom nergens naartoe kopiëren (" +
                   run.Value(failure) +
                   "). Deze keer las hij de catalogus van de cd-rom; omdat dit als probleem telt, "
                   "bewaart hij bij elke start dit logbestand en meldt hij dat.",
               "Start de pc opnieuw en daarna de cd-rom. Blijft dit gebeuren, dan is er iets mis "
               "met de installatie van Windows. " +
                   DebugRunAdvice(run));
  } else if (failure != None) {
    run.Explain(failure);
    run.Set("catalogue", "copy", "failed: " + run.Value(failure));
    const std::string target = run.Value(windows);
    run.Report(
        "catalogue-copy-failed", {copy, failure},
        "De launcher kon de browsercatalogus van de cd-rom niet naar " + target + " kopiëren (" +
            run.Value(failure) +
            "): de Windows-map is beveiligd, het bestand is alleen-lezen of de schijf is vol. "
            "Deze keer las hij de catalogus van de cd-rom, maar hij probeert het bij elke "
            "start opnieuw, en omdat dit als probleem telt, bewaart hij dan ook steeds dit "
            "logbestand en meldt hij dat.",
        "Zet bij het bestand " + target +
            " in de eigenschappen 'Alleen-lezen' uit, of verwijder het, en zorg voor vrije "
            "ruimte op schijf C:. Start daarna de cd-rom opnieuw.");
  } else if (copy != None) {
    run.Set("catalogue", "copy", "the CD's copied to the Windows directory");
  } else if (used != None) {
    run.Set("catalogue", "copy", "not needed: the Windows copy is as new or newer");
  }
  if (used != None) run.Set("catalogue", "used", run.Value(used));
}

void ReportUnknownBrowser(LogRun& run, Index unknown, Index outcome, bool better) {
  const Index file = run.FindInStage(K::BrowserFile, RunStage::Lookup);
  const Index code = run.Find(K::BrowserCode, file == None ? unknown : file, unknown);
  const Index version = run.Find(K::BrowserVersion, file == None ? unknown : file, unknown);
  const Index path = run.Find(K::BrowserStr);
  const bool unsupported = code != None && run.Value(code) == "NA";
  std::string meaning = "Windows opent HTML-bestanden met " + run.ValueOr(path, "een browser");
  meaning += version == None || run.Value(version).empty()
                 ? ", dat geen versie-informatie heeft. "
                 : " (versie " + run.Value(version) + "). ";
  meaning +=
      unsupported
          ? "De browsercatalogus van de cd-rom kent die als " +
                run.ValueOr(run.FindLast(K::BrowserName, file == None ? unknown : file, unknown),
                            "?") +
                ", maar de cd-rom ondersteunt hem niet (code NA)."
          : "De browsercatalogus van de cd-rom kent die browser niet (code ONB).";
  const bool unreadCatalogue =
      run.ValueOr(run.Find(K::CatalogueCdVersion), "") == "0" && CatalogueUnread(run);
  std::string advice = InstallBrowserAdvice;
  if (unreadCatalogue) {
    meaning +=
        " De catalogus zelf kon niet gelezen worden (versie 0 op de cd-rom en in de "
        "Windows-map), dus is elke browser onbekend.";
    advice = std::string("Uw browser hoeft u niet te vervangen: de browsercatalogus ") +
             CatalogueFile +
             " op de cd-rom kon niet gelezen worden. Maak de cd-rom voorzichtig schoon (met een "
             "zachte doek, van het midden naar de rand) en probeer het opnieuw, zo nodig in een "
             "ander cd-romstation. Lukt het dan nog niet, vraag dan een nieuwe cd-rom aan.";
  }
  if (better) {
    const std::string found =
        run.ValueOr(run.Find(K::BestBrowser, unknown, outcome), "een andere browser");
    meaning += " De launcher zocht op C: naar een betere browser, vond " + found +
               " en startte die; bij elke start ziet u twee meldingen over die zoektocht.";
    advice = "Stel " + found +
             " in als standaardbrowser voor HTML-bestanden, of start de cd-rom één keer met de "
             "optie /CHECKS (Start, Uitvoeren: " +
             run.StartDirectory() +
             "TARVO32.EXE /CHECKS): dan koppelt de launcher .htm-bestanden aan de beste browser "
             "op uw pc en verschijnen de meldingen niet meer.";
  } else if (outcome != None) {
    const Index found = run.Find(K::SearchFound, unknown, outcome);
    meaning += " De launcher zocht op C: naar een betere browser maar vond er geen";
    meaning += run.Find(K::Exception, unknown, outcome) != None
                   ? " (het zoeken brak af met een fout)"
               : found != None && run.Value(found) == "0"
                   ? " (geen enkel programma uit de catalogus)"
                   : " (wel programma's uit de catalogus, maar geen dat hij verkiest)";
    meaning += "; hij wees de pagina voor oude browsers aan en kon geen browser starten.";
  } else {
    meaning +=
        " De launcher begon op C: naar een betere browser te zoeken; het logbestand laat "
        "niet zien hoe dat afliep.";
  }
  run.Report(unsupported ? "browser-unsupported" : "browser-unknown",
             {path, code, unknown, outcome}, meaning, advice);
}

void ReadMainSearch(LogRun& run) {
  const Index unknown = run.Find(K::UnknownBrowser);
  if (unknown == None) return;
  const Index none = run.Find(K::NoBetterBrowser, unknown);
  const Index better = run.Find(K::BetterBrowser, unknown);
  const Index outcome = std::min(none, better);
  ReadSearch(run, unknown, outcome == None ? run.Find(K::Registration, unknown) : outcome,
             "search");
  run.Set("search", "result",
          outcome == None     ? "not known: the log ends in the search"
          : outcome == better ? "a better browser"
                              : "no better browser");
  if (outcome != None && outcome == better) {
    if (const Index file = run.Find(K::BrowserFile, better); file != None) {
      run.Set("better_browser", "path", run.Value(file));
      ReadIdentification(run, file, "better_browser");
    }
  }
  ReportUnknownBrowser(run, unknown, outcome, outcome != None && outcome == better);
}

void ReportSmallScreen(LogRun& run, Index desktop, Index window, Index document) {
  Pixels area;
  Pixels size;
  std::string meaning = "De launcher kon de grootte van het bureaublad niet opvragen.";
  std::string advice =
      "Start de cd-rom opnieuw; verandert er niets, stel dan een hogere schermresolutie in "
      "(Beeldscherm, Instellingen).";
  const bool areaKnown = desktop != None && ReadPixels(run.Value(desktop), area);
  if (areaKnown && window == None) {
    meaning = "Het bureaublad (het scherm zonder de taakbalk) is " + area.Text() +
              " pixels. De launcher kon de rand en de titelbalk van vensters niet opvragen, maar "
              "ook zonder die past het browservenster (minstens 640 x 480 pixels, plus wat de "
              "browsercatalogus voor deze browser toevoegt) er niet met 10 pixels ruimte op.";
    advice =
        "Stel een hogere schermresolutie in (Beeldscherm, Instellingen), of maak de taakbalk "
        "kleiner. Start daarna de cd-rom opnieuw.";
  } else if (areaKnown && window != None && ReadPixels(run.Value(window), size)) {
    meaning = "Het bureaublad (het scherm zonder de taakbalk) is " + area.Text() +
              " pixels en het browservenster moet " + size.Text() +
              " pixels zijn; er moeten in beide richtingen minstens 10 pixels over blijven.";
    advice =
        "Stel een hogere schermresolutie in (Beeldscherm, Instellingen), zodat er naast de "
        "taakbalk minstens " +
        Pixels{size.width + 10, size.height + 10}.Text() +
        " pixels overblijven, of maak de taakbalk kleiner. Start daarna de cd-rom opnieuw.";
  }
  run.Report("screen-too-small", {desktop, window, document},
             meaning + " Daarom opende de browser de eenvoudige pagina " + SmallScreenPageFile +
                 " in plaats van de interface van de cd-rom.",
             advice);
}

}  // namespace

std::string ChosenBrowserCode(const LogRun& run) {
  const Index better = run.Find(K::BetterBrowser);
  const Index code = better != None ? run.Find(K::BrowserCode, better)
                                    : run.FindInStage(K::BrowserCode, RunStage::Lookup);
  return run.ValueOr(code, "");
}

void ReadBrowserDetection(LogRun& run) {
  ReadLookup(run);
  ReadCatalogue(run);
  ReadMainSearch(run);
}

void ReadSearch(LogRun& run, Index from, Index to, const char* section) {
  const Index count = run.Find(K::SearchCount, from, to);
  if (count == None) return;
  if (const Index i = run.Find(K::SearchNames, count, to); i != None) {
    run.Set(section, "names_looked_for", run.Value(i));
  }
  if (const Index i = run.Find(K::SearchFound, count, to); i != None) {
    run.Set(section, "browsers_found", run.Value(i));
  }
  if (const Index i = run.Find(K::SearchPreference, count, to); i != None) {
    run.Set(section, "preference", run.Value(i));
  }
  // Each candidate: the file its identification names, its code, its score.
  Index file = None;
  for (Index i = count; i < std::min(to, run.Size()); ++i) {
    if (run.At(i).kind == K::BrowserFile) file = i;
    if (run.At(i).kind != K::CandidateCode) continue;
    const bool scored = i + 1 < run.Size() && run.At(i + 1).kind == K::CandidateScore;
    run.Add(section, "candidate",
            run.ValueOr(file, "?") + ": " + run.Value(i) + ", score " +
                (scored ? run.Value(i + 1) : "?"));
  }
  if (const Index best = run.Find(K::BestBrowser, count, to); best != None) {
    run.Set(
        section, "best",
        run.Value(best) + " (score " + run.ValueOr(run.Find(K::BestScore, count, to), "?") + ")");
  } else if (run.Find(K::BestIndex, count, to) != None) {
    run.Set(section, "best", "none: no browser it found scores above 0");
  }
  for (Index i = run.Find(K::Exception, count, to); i != None;
       i = run.Find(K::Exception, i + 1, to)) {
    if (run.Explained(i) || IsCopyFailure(run, i)) continue;
    run.Explain(i);
    run.Set(section, "error", run.Value(i));
    run.Report(
        "search-failed", {i},
        "Het zoeken op C: naar een betere browser brak af met de fout '" + run.Value(i) +
            "'; daardoor koos de launcher geen betere browser.",
        "Start de cd-rom opnieuw. Gebeurt dit weer, installeer dan een ondersteunde browser "
        "(de meest recente versies staan op de cd-rom) en stel die in als standaardbrowser.");
  }
}

void ReadWindow(LogRun& run) {
  const Index desktop = run.Find(K::DesktopSize);
  const Index window = run.Find(K::WindowSize);
  const Index document = run.Find(K::Document);
  for (const auto& [line, key] :
       {std::make_pair(desktop, "work_area"), std::make_pair(window, "browser_window")}) {
    if (line == None) continue;
    Pixels size;
    run.Set("window", key, ReadPixels(run.Value(line), size) ? size.Text() : run.Value(line));
  }
  if (document == None) return;
  if (EndsWithAsciiInsensitive(run.Value(document), SmallScreenPageFile)) {
    run.Set("window", "page", "the simple page: too little room");
    ReportSmallScreen(run, desktop, window, document);
  } else if (EndsWithAsciiInsensitive(run.Value(document), OldBrowserPageFile)) {
    run.Set("window", "page", "the page for old browsers: no supported browser");
  } else if (run.Value(document) == run.ValueOr(run.Find(K::StartPageFile), "")) {
    run.Set("window", "page", "the start page");
  } else {
    run.Set("window", "page", "the main page of the CD: no start page was made");
  }
}

}  // namespace tarvo
