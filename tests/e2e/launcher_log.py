"""What the launcher says: its messages and the lines of its log, built the
way the scenarios compare them, line for line."""

from harness.pe import RT_VERSION, PeFile, version_strings
from harness.scenario import Box
from harness.wine import temp_directory

SUPPORT = "helpdesk@lumora.nl"
CAPTION = b"Tarvo32"
START_PAGE = "intface\\hoofd.htm"
CATALOGUE = "intface\\browsers.ini"
TEMPLATE = "intface\\template.htm"
PAGE_NAME = "lmrstart.htm"
LABEL = "LUMORA"

HEADER = [
    f"Stuur de complete inhoud van deze logfile naar {SUPPORT} voor",
    "een mogelijke oplossing. Verander niets aan de inhoud!",
    "",
    "",
    "-" * 67,
]
DEBUG_REPORT = ("In C:\\LMRSTART.LOG is een gedetailleerd rapport aangemaakt over de opstart procedure. "
                f"Stuur deze naar {SUPPORT} voor verdere analyse. Alvast bedankt voor uw medewerking!")
CHECKS_REPORT = ("In C:\\LMRSTART.LOG is een gedetailleerd rapport aangemaakt over de opstart procedure en de "
                 "extra uitgevoerde controles. Als het probleem blijft bestaan, kunt u het beste diit bestand "
                 f"sturen naar {SUPPORT} voor verdere analyse. Alvast bedankt voor uw medewerking!")
PROBLEM_REPORT = ("In C:\\LMRSTART.LOG is een gedetailleerd rapport aangemaakt over het gevonden "
                  f"opstartprobleem. Stuur deze naar {SUPPORT} voor een mogelijke oplossing.")
NO_BROWSER = ("U heeft geen browser geïnstalleerd. Voor onze interface is een browser noodzakelijk! De meest "
              "recente versies van ondersteunde browsers vindt u op de cd-rom. Stuur een e-mail naar "
              f"{SUPPORT} als u vermoed dat deze melding niet terecht is...")
BAD_START_DIR = "De startdirectory die u via de commandline heeft opgegeven bestaat niet!"
SEARCH = ("De door u gebruikte browser is ons onbekend of wordt niet door ons ondersteund. We gaan nu de "
          "C-drive doorzoeken op een betere browser...")
FOUND = "We hebben een betere browser gevonden! Lees de help hoe u voortaan deze melding kunt voorkomen..."
NOT_FOUND = ("Helaas, onze zoektocht leverde geen betere browser op! U krijgt zo dadelijk een melding wat u "
             "moet doen...")
LAUNCH_FAILED = ("De cd-rom kon helaas niet gestart worden. Open intface\\eenvoud\\overzich.htm in uw browser "
                 "of volg de aanwijzing die zo dadelijk volgt...")
OLD_VERSION = ("U gebruikt een oude versie van TARVO32.EXE om de cd-rom op te starten. Kopiëer TARVO32.EXE "
               "vanaf de cd-rom over deze versie heen en probeer het nog eens...")
NO_BROWSER_LINE = "Melding: (geen browser geïnstalleerd)"
NO_TEMP_DIR = ("Geen TEMP directory gevonden, we zullen dus C:\\ moeten gebruiken. Lees de help hoe u deze "
               "melding kunt voorkomen...")
PAGE_FAILED = ("De benodigde startpagina kon niet gemaakt worden. Volg de aanwijzingen die zo dadelijk "
               "verschijnt...")


def box(text):
    return Box(CAPTION, text.encode("cp1252"))


def log_text(lines):
    """The log file holding `lines`, each ended by CR LF."""
    return "".join(line + "\r\n" for line in lines).encode("cp1252")


def catalogue(entries, version=3, preference=None, sizes=None):
    """A catalogue: recognition entries (name, version, code, display
    name), numbered from 1; the preference text; {code: (ExtraH, ExtraW)}."""
    lines = ["[Informatie]", f"Versie={version}", "", "[Browserherkenning]"]
    for number, (name, entry_version, code, display) in enumerate(entries, 1):
        lines += [f"EXEnaam{number}={name}", f"EVersie{number}={entry_version}",
                  f"EIntern{number}={code}", f"EExtern{number}={display}"]
    if preference is not None:
        lines += ["", "[Browservolgorde]", f"Voorkeur={preference}"]
    for code, (height, width) in (sizes or {}).items():
        lines += ["", f"[{code}]", f"ExtraH={height}", f"ExtraW={width}"]
    return ("\r\n".join(lines) + "\r\n").encode("cp1252")


def version_lines(path, info_type, program):
    """GetFileInfo's lines for `program` (its bytes, or None when there is
    no file) read as `path`; and the value it gives."""
    lines = [f"xxx GFI: FileName = {path}", f"xxx GFI: InfoType = {info_type}"]
    resources = PeFile(program).resources(RT_VERSION) if program is not None else []
    if not resources:
        return lines + ["xxx GFI: InfoSize = 0", "xxx GFI: (GetFileVersionInfo is mislukt)"], ""
    # Wine reserves as much again, and 4 bytes, for the ANSI copies of texts.
    size = 2 * len(resources[0]) + 4
    # The stubs and the launcher carry one string table, that of their translation.
    (table, values), = version_strings(resources[0]).items()
    value = values[info_type]
    return lines + [f"xxx GFI: InfoSize = {size}", f"xxx GFI: TranslationTable = {table}",
                    f"xxx GFI: Waarde = {value}"], value


def start_lines(start_dir, debug, launcher, own_path, cd_launcher):
    """Lines 100 to 103: `launcher` is the running program's bytes, found as
    `own_path`; `cd_launcher` the bytes of the disc's TARVO32.EXE in
    `start_dir`, or None."""
    own_lines, own_version = version_lines(own_path, "FileVersion", launcher)
    cd_lines, cd_version = version_lines(start_dir + "tarvo32.exe", "FileVersion", cd_launcher)
    return [f"100: StartDir = {start_dir}", f"101: Debug = {'TRUE' if debug else 'FALSE'}",
            *own_lines, f"102: VersieIntern = {own_version}",
            *cd_lines, f"103: VersieCD = {cd_version}"]


def volume_lines(label=LABEL):
    """Line 104 and the empty line that ends the start."""
    return [f"104: (volumelabel = {label})", ""]


def catalogue_choice_lines(start_dir, cd_version, windows_version=0, copied=True):
    """GetBrowserIniFileName's lines, with Wine's Windows directory; and the
    path chosen."""
    cd_path = start_dir + CATALOGUE
    windows_path = "C:\\windows\\BROWSERS.INI"
    lines = [f"xxx GBIFN: IniFileNameCD = {cd_path}", f"xxx GBIFN: IniVersieCD = {cd_version}",
             "xxx GBIFN: Lengte = 10", f"xxx GBIFN: IniFileNameWindows = {windows_path}",
             f"xxx GBIFN: IniVersieWindows = {windows_version}"]
    if copied:
        return lines + ["xxx GBIFN: (Kopiëren INI file)"], cd_path
    return lines, windows_path


def identification_lines(path, program, catalogue_path, code, matches=(), choice=()):
    """GetBrowserName's lines for the browser at `path` (`program` its
    bytes): the catalogue choice's lines when this is the first reader, and
    the (number, display name) of each matching entry."""
    upper = path.upper()
    version_part, version = version_lines(upper, "ProductVersion", program)
    lines = [f"xxx GBN: FileName = {upper}", *version_part, f"xxx GBN: Versie = {version.upper()}",
             *choice, f"xxx GBN: BrowserIniFile = {catalogue_path}"]
    for number, display in matches:
        lines += [f"xxx GBN: BrowserCount = {number}", f"xxx GBN: (EExtern = {display})"]
    return lines + [f"xxx GBN: Browser = {code}"]


def search_lines(entries, names, preference, found):
    """The search's lines: `entries` in the catalogue, `names` in its list,
    and around each found browser's identification, given as
    (identification lines, code, score), its code and score."""
    lines = [f"xxx GBB: Count = {entries + 1}", f"xxx GBB: (aantal .exe in lijst = {names})",
             f"xxx GBB: (aantal gevonden browsers = {len(found)})", f"xxx GBB: BrowserVoorkeur = {preference}"]
    best, best_score = -1, 0
    for index, (identified, code, score) in enumerate(found):
        lines += [*identified, f"xxx GBB: BrowserIntern = {code}", f"xxx GBB: Score = {score}"]
        if score > best_score:
            best, best_score = index, score
    return lines + [f"xxx GBB: BesteScore = {best_score}", f"xxx GBB: BesteBrowser = {best}"]


def wine_temp_dir():
    """Wine's temporary folder as the launcher writes it: upper case, with
    a final backslash."""
    return temp_directory().upper() + "\\"


def wine_page():
    """The start page in Wine's temporary folder."""
    return wine_temp_dir() + PAGE_NAME


def main_page_address(start_dir, code):
    """The disc's main page as the start page names it to a browser with
    `code`: Navigator's framed page, every other browser's main page."""
    page = "frame.htm" if code.startswith("NN") else "hoofd.htm"
    return "file:///" + (start_dir.lower() + "intface\\" + page).replace("\\", "/").replace(":", "|")


def start_page_lines(start_dir, code, temp_dir=None):
    """Lines 403 to 406 of a start page made for `code` from `start_dir`'s
    template, with `temp_dir` (Wine's unless given) as line 403 shows it;
    and the page's path. The start directory itself makes way for C:\\."""
    temp_dir = temp_dir or wine_temp_dir()
    lines = [f"403: TempDir = {temp_dir}"]
    if temp_dir == start_dir:
        lines.append("Melding: (tempdir bestaat niet)")
        temp_dir = "C:\\"
    page = temp_dir + PAGE_NAME
    return [*lines, f"404: (ConvertToBrowserDir = {main_page_address(start_dir, code)})",
            f"405: FileName = {page}", "406: (vervangen en aanmaken startpagina gelukt)"], page


def launch_lines(browser, document, sizes=None, page_lines=()):
    """From line 300 to the closing empty lines: `sizes` are the work area's
    and the window's (width, height), when the browser is supported;
    `page_lines` those of the start page made then."""
    lines = ["", "300: (aanmaken sleutels in registry)", ""]
    if sizes:
        (desktop_width, desktop_height), (width, height) = sizes
        lines += [f"400: (bureaublad is {desktop_width} bij {desktop_height} pixels)",
                  f"401: (browser wordt {width} bij {height} pixels)"]
    return lines + [*page_lines, f"407: BrowserPad = {browser}", f"408: OpenHTMLdoc = {document}"]

