"""Fault scenarios, one table: a damaged disc, a hostile command line or a
broken PC, and how each run ends: its log, its boxes and its exit code. None
may hang or crash, and nothing that was on disk before may be lost: every
case starts on a PC where an earlier disc has run, with an older log, a
catalogue copy in the Windows folder and a start page in the temporary
folder, and checks each of them afterwards."""

import random
import re
import unittest
from dataclasses import dataclass, field
from typing import Callable, Optional

from harness.scenario import LOG_FILE, WINDOWS_DIRECTORY, Box
from harness.wine import hand_over
from launcher_log import (BAD_START_DIR, CATALOGUE, DEBUG_REPORT, FOUND, PAGE_FAILED, PAGE_NAME,
                          PROBLEM_REPORT, SEARCH, TEMPLATE, box, catalogue,
                          catalogue_choice_lines, identification_lines, launch_lines,
                          main_page_address, search_lines, start_page_lines, wine_page)
from test_detection import (CATALOGUE_ENTRIES, CATALOGUE_NAMES, CATALOGUE_TEXT, DESKTOP, EXPLORER_WINDOW,
                            NAVIGATOR_WINDOW, PREFERENCE)
from test_startup import BROWSER, OLD_LOG, SIZES, STUB_CATALOGUE, TEMPLATE_TEXT, StartupScenario, started

WINDOWS_COPY = WINDOWS_DIRECTORY + "\\BROWSERS.INI"
# The earlier disc's catalogue, older than this disc's (version 3).
WINDOWS_COPY_VERSION = 2
OLD_CATALOGUE = catalogue([("STUB", "1", "IE5", "Stub Browser")], version=WINDOWS_COPY_VERSION)
OLD_PAGE = b"<html>startpagina van een eerdere cd</html>\r\n"
MEGABYTE = 2 ** 20
# Where the stub's window (640 by 498) stands, centred on Xvfb's 1024 by 768.
WINDOW_X, WINDOW_Y = 192, 135
LONG_ARGUMENT = "D:\\" + ("Lang" * 1250)[:4997]
# A word of the command line counts up to 4096 characters.
LONG_START_DIR = LONG_ARGUMENT[:4096].upper() + "\\"
# Deep enough that the enumeration of a folder no longer fits an ANSI path
# (260 characters) after about 125 levels.
DEEP_FOLDER = "C:\\Diep" + "\\d" * 200
DEEP_EXPLORER = "C:\\Diep" + "\\d" * 100 + "\\iexplore.exe"
DEEPEST_NAVIGATOR = DEEP_FOLDER + "\\netscape.exe"
LOOPED_NAVIGATOR = "C:\\Lus\\b\\netscape.exe"
READ_ONLY_TEMP = "C:\\AlleenLezen"
MISSING_TEMP = "C:\\Weg\\Temp"
MUSIC_KEY = "Software\\Lumora\\Interface"
# A file in a folder that stands where the log goes.
KEPT_IN_LOG_FOLDER, KEPT_CONTENT = LOG_FILE + "\\bewaar.txt", b"blijft"
SPACE_LINES = [re.compile(r"xxx EL: \(grootte = \d+\)"), re.compile(r"xxx EL: \(vrij = \d+\)")]


@dataclass
class Ending:
    """How a run ends. `log`: the new log's lines (a line may be a pattern),
    or None when the run writes none; `files`: what stands afterwards where
    something stood before (None: no ordinary file)."""
    log: Optional[list]
    boxes: list
    exit_code: int = 0
    files: dict = field(default_factory=dict)
    starts: list = field(default_factory=list)


@dataclass(frozen=True)
class Fault:
    name: str
    arrange: Callable  # (scenario) -> None: the fault, on top of the PC and disc every case has
    args: tuple
    ending: Callable  # (test, scenario, code of line 201) -> Ending


def linked_page(code="IE5"):
    """The start page the usual template gives, linking the disc's main page."""
    return TEMPLATE_TEXT.replace(b"<!--TEMPLATE-->", main_page_address("D:\\", code).encode())


def disc_catalogue(scenario):
    return scenario.cd.joinpath(*CATALOGUE.split("\\")).read_bytes()


def random_bytes():
    return random.Random(10).randbytes(64 * 1024)


def nul_catalogue():
    """Values cut short by a NUL byte, and a line of nothing but NULs."""
    return (b"[Informatie]\r\nVersie=3\r\n\0\0\0\r\n[Browserherkenning]\r\nEXEnaam1=STUB\0NIETS\r\n"
            b"EVersie1=1\r\nEIntern1=IE5\r\nEExtern1=Stub\0Browser\r\n")


def long_value_catalogue():
    return catalogue([("STUB", "1", "IE5" + "x" * 3000, "S" * 5000)])


def big_template_pairs():
    """(template line, page line) pairs of at least 10 MB of template."""
    address = main_page_address("D:\\", "IE5")
    block = [("<p>Een gewone regel tekst zonder iets in te vullen, " + "abc" * 20 + "</p>",) * 2,
             ("<!--INTFACEX-->", str(WINDOW_X)), ("<!--INTFACEY-->", str(WINDOW_Y)),
             ('<a href="<!--TEMPLATE-->">', f'<a href="{address}">')]
    size = sum(len(line) + 2 for line, _ in block)
    return block * (10 * MEGABYTE // size + 1)


def long_line_pairs():
    address = main_page_address("D:\\", "IE5")
    return [("<!--TEMPLATE-->" + "x" * MEGABYTE + "<!--VOLUME-->", address + "x" * MEGABYTE + "<!--VOLUME-->"),
            ("<!--" + "y" * MEGABYTE, "<!--" + "y" * MEGABYTE), ("einde", "einde")]


def text_of(lines, end):
    return "".join(line + end for line in lines).encode("cp1252")


def template_of(pairs, end="\r\n"):
    return text_of([line for line, _ in pairs], end)


def page_of(pairs):
    return text_of([line for _, line in pairs], "\r\n")


def link_to_device(scenario, windows_path, device):
    path = scenario.prefix.windows_file(windows_path)
    path.unlink()
    path.symlink_to(device)
    hand_over(path)


def folder_in_place_of_the_log(scenario):
    scenario.prefix.windows_file(LOG_FILE).unlink()
    scenario.add_file(KEPT_IN_LOG_FOLDER, KEPT_CONTENT)


def read_only_folder(scenario, windows_path):
    scenario.prefix.make_windows_folders(windows_path).chmod(0o555)


def deep_folders(scenario):
    scenario.remove_wine_iexplore()
    scenario.add_stub_browser(DEEP_EXPLORER, "stub_explorer")
    scenario.add_stub_browser(DEEPEST_NAVIGATOR, "stub_navigator")


def looped_links(scenario):
    """Links that lead round in circles, to themselves and to nothing, around
    the only browser that scores."""
    scenario.remove_wine_iexplore()
    scenario.add_stub_browser(LOOPED_NAVIGATOR, "stub_navigator")
    scenario.add_directory_link("C:\\Lus\\a", "C:\\Lus\\b")
    scenario.add_directory_link("C:\\Lus\\b\\terug", "C:\\Lus")
    scenario.add_directory_link("C:\\Lus\\zelf", "C:\\Lus\\zelf")
    scenario.add_directory_link("C:\\Lus\\weg", "C:\\Nergens")


def page_failure_lines(page, folder_exists):
    """The diagnosis of a start page in a temporary folder that cannot take it."""
    folder = page[:-len(PAGE_NAME)]
    return [f"xxx EL: (Exception EFCreateError: Cannot create file {page})", f"xxx EL: ({page} bestaat niet)",
            f"xxx EL: ({folder} bestaat{'' if folder_exists else ' niet'})", "xxx EL: (Drive type is DRIVE_FIXED)",
            *SPACE_LINES]


def start_page_failed(test, scenario, code, temp_dir, folder_exists, debug):
    """The run up to the start page, which fails in `temp_dir`."""
    page_lines, page = start_page_lines("D:\\", "IE5", temp_dir.upper() + "\\")
    lines = [*page_lines[:3], *page_failure_lines(page, folder_exists)]
    return test.debug_log(scenario, [*test.recognised(scenario, code, BROWSER, windows_version=WINDOWS_COPY_VERSION),
                                     *launch_lines(BROWSER, page, SIZES, lines)[:-2]], debug=debug)


def ordinary_run(test, scenario, code, page=None, display="Stub Browser", cd_version=3, debug=True,
                 boxes=(), **files):
    """The stub is recognised and starts on the start page `page` (the
    usual template's by default); `files` beyond the usual ones."""
    copied = WINDOWS_COPY_VERSION < cd_version
    lines = test.found(scenario, code, BROWSER, cd_version=cd_version, windows_version=WINDOWS_COPY_VERSION,
                       display=display)
    return Ending(test.debug_log(scenario, lines) if debug else None,
                  [*boxes, *([box(DEBUG_REPORT)] if debug else [])],
                  files={WINDOWS_COPY: disc_catalogue(scenario) if copied else OLD_CATALOGUE,
                         wine_page(): page or linked_page(), **({} if debug else {LOG_FILE: OLD_LOG}), **files},
                  starts=[started(BROWSER, f"{BROWSER} {wine_page()}")])


def better_browser(test, scenario, code, browser, stub, browser_code, matches, score, window,
                   catalogue_text=CATALOGUE_TEXT, entries=CATALOGUE_ENTRIES, names=CATALOGUE_NAMES):
    """The default stub is unknown; the search finds `browser` alone and it
    starts. The disc's catalogue is the detection scenarios' unless
    `catalogue_text` (with its number of `entries` and of `names` to look
    for) is another."""
    choice, catalogue_path = catalogue_choice_lines("D:\\", 3, WINDOWS_COPY_VERSION)
    unknown = identification_lines(BROWSER, scenario.stub_program(), catalogue_path, "ONB", (), choice)
    identified = identification_lines(browser, scenario.stub_program(stub), catalogue_path, browser_code, matches)
    page_lines, page = start_page_lines("D:\\", browser_code)
    lines = [f"201: (FindExecutable = {code})", f"202: BrowserStr = {BROWSER}", *unknown,
             "Melding: (onbekende of niet ondersteunde browser)",
             *search_lines(entries, names, PREFERENCE, [(identified, browser_code, score)]),
             f"xxx GBB: (ofwel {browser})", "Melding: (betere browser gevonden)", *identified,
             *launch_lines(browser, page, (DESKTOP, window), page_lines)]
    return Ending(test.debug_log(scenario, lines), [box(SEARCH), box(FOUND), box(DEBUG_REPORT)],
                  files={WINDOWS_COPY: catalogue_text, wine_page(): linked_page(browser_code)},
                  starts=[started(browser, f"{browser} {wine_page()}")])


def log_not_saved(test, scenario, code, **files):
    """The log cannot be written at the end: the last-resort report, after
    an otherwise ordinary run."""
    report = re.compile(rb"Exception ELogFile in module TARVO32\.EXE at [0-9A-F]{%d}\.\nTLogFile: save error\."
                        % scenario.address_digits)
    ending = ordinary_run(test, scenario, code, **files)
    return Ending(None, [Box(b"Application Error", report, True)], 1, {**ending.files, LOG_FILE: None},
                  ending.starts)


FAULTS = [
    Fault("random_catalogue",
          lambda s: s.add_cd_file(CATALOGUE, random_bytes()), ("/DEBUG",),
          # No version in it: the older Windows copy serves.
          lambda t, s, code: ordinary_run(t, s, code, cd_version=0)),
    Fault("catalogue_with_nul_bytes",
          lambda s: s.add_cd_file(CATALOGUE, nul_catalogue()), ("/DEBUG",),
          # Values end at their NUL; the copy is the catalogue's whole bytes.
          lambda t, s, code: ordinary_run(t, s, code, display="Stub")),
    Fault("catalogue_value_over_2047_characters",
          lambda s: s.add_cd_file(CATALOGUE, long_value_catalogue()), ("/DEBUG",),
          lambda t, s, code: ordinary_run(t, s, code, display="S" * 2047)),
    Fault("template_of_10_mb",
          lambda s: s.add_cd_file(TEMPLATE, template_of(big_template_pairs())), ("/DEBUG",),
          lambda t, s, code: ordinary_run(t, s, code, page_of(big_template_pairs()))),
    Fault("template_line_of_1_mb",
          lambda s: s.add_cd_file(TEMPLATE, template_of(long_line_pairs(), "\n")), (),
          lambda t, s, code: ordinary_run(t, s, code, page_of(long_line_pairs()), debug=False)),
    Fault("template_with_nul_bytes",
          lambda s: s.add_cd_file(TEMPLATE, b"<!--TEMPLATE-->\r\nvoor\0na\r\n<!--VOLUME-->\r\n"), ("/DEBUG",),
          # The text ends at its first NUL.
          lambda t, s, code: ordinary_run(t, s, code, main_page_address("D:\\", "IE5").encode() + b"\r\nvoor\r\n")),
    Fault("start_directory_of_5000_characters",
          lambda s: None, ("/DEBUG", LONG_ARGUMENT),
          lambda t, s, code: Ending(
              t.debug_log(s, ["201: (FindExecutable = 2)", "Melding: (ongeldige directory via commandline)"],
                          LONG_START_DIR),
              [box(BAD_START_DIR), box(DEBUG_REPORT)], files={WINDOWS_COPY: OLD_CATALOGUE, wine_page(): OLD_PAGE})),
    Fault("two_hundred_nested_folders",
          lambda s: (s.add_cd_file(CATALOGUE, CATALOGUE_TEXT), deep_folders(s)), ("/DEBUG",),
          # The deeper navigator lies beyond any ANSI path; the explorer is found.
          lambda t, s, code: better_browser(t, s, code, DEEP_EXPLORER, "stub_explorer", "IE5",
                                            [(2, "Internet Explorer 5")], 13, EXPLORER_WINDOW)),
    Fault("directory_link_loop",
          lambda s: (s.add_cd_file(CATALOGUE, CATALOGUE_TEXT), looped_links(s)), ("/DEBUG",),
          lambda t, s, code: better_browser(t, s, code, LOOPED_NAVIGATOR, "stub_navigator", "NN4",
                                            [(3, "Netscape Navigator 4")], 17, NAVIGATOR_WINDOW)),
    Fault("read_only_temp_directory",
          lambda s: (read_only_folder(s, READ_ONLY_TEMP), s.set_temp_directory(READ_ONLY_TEMP)), (),
          lambda t, s, code: Ending(start_page_failed(t, s, code, READ_ONLY_TEMP, True, False),
                                    [box(PAGE_FAILED), box(PROBLEM_REPORT)],
                                    files={WINDOWS_COPY: STUB_CATALOGUE, wine_page(): OLD_PAGE})),
    Fault("missing_temp_directory",
          lambda s: s.set_temp_directory(MISSING_TEMP), ("/DEBUG",),
          lambda t, s, code: Ending(start_page_failed(t, s, code, MISSING_TEMP, False, True),
                                    [box(PAGE_FAILED), box(DEBUG_REPORT)],
                                    files={WINDOWS_COPY: STUB_CATALOGUE, wine_page(): OLD_PAGE})),
    Fault("music_setting_of_the_wrong_type",
          lambda s: (s.add_cd_file(TEMPLATE, b"aan=<!--MUZIEK-->\r\nnummer=<!--NUMMER-->\r\nvolume=<!--VOLUME-->\r\n"),
                     s.set_user_values(MUSIC_KEY, {"MuziekAan": b"\1\0\0\0\0\0\0\0", "MuziekNummer": 4,
                                                   "MuziekVolume": b"\7\0"})), (),
          # Too long to read, and short but of the wrong type: each told in a
          # box, and its placeholder stays.
          lambda t, s, code: ordinary_run(
              t, s, code, b"aan=<!--MUZIEK-->\r\nnummer=4\r\nvolume=<!--VOLUME-->\r\n", debug=False,
              boxes=[box("Exception: Failed to get data for 'MuziekAan'"),
                     box("Exception: Invalid data type for 'MuziekVolume'")])),
    Fault("log_on_a_full_disk",
          lambda s: link_to_device(s, LOG_FILE, "/dev/full"), ("/DEBUG",),
          lambda t, s, code: log_not_saved(t, s, code)),
    Fault("log_path_is_a_folder",
          folder_in_place_of_the_log, ("/DEBUG",),
          lambda t, s, code: log_not_saved(t, s, code, **{KEPT_IN_LOG_FOLDER: KEPT_CONTENT})),
]


def matched(actual, expected):
    """`actual` with each item that fits the pattern standing at its place in
    `expected` replaced by that pattern, for one comparison of the whole."""
    def fits(item, pattern):
        if isinstance(pattern, re.Pattern):
            return isinstance(item, str) and pattern.fullmatch(item)
        if isinstance(pattern, Box) and isinstance(pattern.text, re.Pattern):
            return (item.caption, item.icon) == (pattern.caption, pattern.icon) and pattern.text.fullmatch(item.text)
        return False
    return [pattern if fits(item, pattern) else item
            for item, pattern in zip(actual, list(expected) + [None] * len(actual))]


class FaultScenario(StartupScenario):
    def fault_scenario(self):
        """The PC and disc of every case: the start-up scenarios' CD, and
        what an earlier disc left."""
        scenario = self.scenario()
        scenario.add_file(LOG_FILE, OLD_LOG)
        scenario.add_file(WINDOWS_COPY, OLD_CATALOGUE)
        scenario.add_file(wine_page(), OLD_PAGE)
        return scenario

    def check(self, fault):
        """Runs the case and checks its ending; returns the scenario and the outcome."""
        scenario = self.fault_scenario()
        fault.arrange(scenario)
        outcome = scenario.run(fault.args)

        # Line 201 gives whatever code Wine returned; the rest of the log must
        # agree with it. A run that writes no log leaves the older one there.
        code = re.search(rb"\r\n201: \(FindExecutable = (-?\d+)\)\r\n", outcome.log or b"")
        ending = fault.ending(self, scenario, code and int(code.group(1)))
        if ending.log is None:
            self.assertIn(LOG_FILE, ending.files, "a run without a log says what stands in its place")
        else:
            self.assertEqual(matched(self.log_lines(outcome.log), ending.log), ending.log)
        self.assertEqual(matched(outcome.boxes, ending.boxes), ending.boxes)
        self.assertEqual(outcome.exit_code, ending.exit_code)
        self.assertEqual(outcome.browser_starts, ending.starts)
        for path, content in ending.files.items():
            self.assert_same_bytes(scenario.read_file(path), content, path)
        return scenario, outcome

    def assert_same_bytes(self, actual, expected, what):
        """Compares files that may be megabytes long without printing them."""
        if actual == expected:
            return
        if actual is None or expected is None:
            self.fail(f"{what}: {'no file' if actual is None else 'a file'} where "
                      f"{'none' if expected is None else 'one'} was expected")
        at = next((i for i, (a, b) in enumerate(zip(actual, expected)) if a != b), min(len(actual), len(expected)))
        self.fail(f"{what}: {len(actual)} bytes where {len(expected)} were expected; first difference at {at}: "
                  f"{actual[at:at + 40]!r} against {expected[at:at + 40]!r}")


class FaultScenarios(FaultScenario):
    """One test for each row of FAULTS."""


def _fault_test(fault):
    def test(self):
        self.check(fault)
    return test


for _fault in FAULTS:
    setattr(FaultScenarios, f"test_fault_{_fault.name}", _fault_test(_fault))


if __name__ == "__main__":
    unittest.main()
