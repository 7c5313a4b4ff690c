"""The shipped launcher on older Windows: the first Windows 95, Windows 98
and ME, and NT 4.0, as a stand-in for kernel32 makes Wine offer them
(harness/old_windows.py). One table of cases, each run on each of these
Windows on the fault scenarios' PC, where an earlier disc left an older
catalogue copy that the run replaces. Each ends as on a current Windows
except where such a Windows works otherwise: the copy is written over in
place where MoveFileExA is a stub, the search compares names by their
ASCII letters where CompareStringA refuses the invariant locale, and the
free space comes from GetDiskFreeSpaceA where GetDiskFreeSpaceExA is
missing. Those differences show that the stand-in is what the copy loads."""

import os
import re
import unittest

from harness.old_windows import OLD_WINDOWS, run_as
from launcher_log import (CATALOGUE, CHECKS_REPORT, DEBUG_REPORT, box, catalogue, catalogue_choice_lines,
                          identification_lines, launch_lines, search_lines, start_page_lines, wine_page)
from test_detection import (CATALOGUE_ENTRIES, CATALOGUE_NAMES, CATALOGUE_TEXT, DESKTOP, EXTRA_SIZES,
                            NAVIGATOR_WINDOW, PREFERENCE)
from test_faults import (FAULTS, WINDOWS_COPY, WINDOWS_COPY_VERSION, Ending, Fault, FaultScenario, better_browser,
                         linked_page, ordinary_run)
from test_startup import started

NAVIGATOR = "C:\\Netscape\\Program\\netscape.exe"
# Names in any case; the catalogue's last name has a letter beyond ASCII.
MIXED_CASE_CATALOGUE = catalogue([("IExplore", "4", "IE4", "Internet Explorer 4"),
                                  ("iexplore", "5", "IE5", "Internet Explorer 5"),
                                  ("NetScape", "4", "NN4", "Netscape Navigator 4"),
                                  ("Mosaic", "", "NA", "NCSA Mosaic"),
                                  ("Späher", "", "IE3", "Späher")],
                                 preference=PREFERENCE, sizes=EXTRA_SIZES)
# IEXPLORE.EXE, NETSCAPE.EXE and SPäHER.EXE (only ASCII letters change case).
MIXED_CASE_ENTRIES, MIXED_CASE_NAMES = 5, 3
MIXED_CASE_NAVIGATOR = "C:\\NetScape\\Program\\NETscape.Exe"
# The invariant locale takes it for SPäHER.EXE; ASCII letters alone do not.
UPPER_CASE_UMLAUT = "C:\\Verkenner\\SPÄHER.EXE"
LIBRARY_HANDLE = re.compile(r"xxx RAL: LibHandle = [1-9]\d*")
# What GetDiskFreeSpaceA tells at most on Windows 95, 98 and ME.
WINDOWS_9X_SPACE_LIMIT = 2 ** 31 - 1
# Wine gives the drive's size in whole clusters: of Unix's figure, it may
# leave off up to one cluster, or several where it makes fewer and larger.
SIZE_TOLERANCE = 2 ** 20
DRIVE_SPACE = re.compile(rb"xxx EL: \(grootte = (\d+)\)\r\nxxx EL: \(vrij = (\d+)\)")


def fault(name):
    """The row of the fault scenarios' table called `name`."""
    return next(row for row in FAULTS if row.name == name)


def mixed_case_browsers(scenario):
    scenario.add_cd_file(CATALOGUE, MIXED_CASE_CATALOGUE)
    scenario.remove_wine_iexplore()
    scenario.add_stub_browser(MIXED_CASE_NAVIGATOR, "stub_navigator")
    scenario.add_stub_browser(UPPER_CASE_UMLAUT, "stub_explorer")


def navigator_to_associate(scenario):
    scenario.add_cd_file(CATALOGUE, CATALOGUE_TEXT)
    scenario.remove_wine_iexplore()
    scenario.add_stub_browser(NAVIGATOR, "stub_navigator")


def libraries_registered_again():
    """The script-error repair's lines: Wine's two libraries loaded from the
    system directory and registered."""
    lines = ["xxx SSEIE: Lengte = 19", "xxx SSEIE: SystemDir = C:\\windows\\system32\\"]
    for name in ("actxprxy.dll", "shdocvw.dll"):
        lines += [f"xxx RAL: FileName = C:\\windows\\system32\\{name}", LIBRARY_HANDLE,
                  "xxx RAL: (registratie is gelukt!)"]
    return lines


def checks_associate_the_navigator(test, scenario, code):
    """/CHECKS: the libraries registered again, .htm files associated with the
    navigator the search finds, which the lookup then finds and starts."""
    choice, catalogue_path = catalogue_choice_lines("D:\\", 3, WINDOWS_COPY_VERSION)
    navigator = identification_lines(NAVIGATOR, scenario.stub_program("stub_navigator"), catalogue_path, "NN4",
                                     [(3, "Netscape Navigator 4")])
    checks = ["C00: (start uitvoeren alle ingebouwde checks)", *libraries_registered_again(),
              "C01: (SolveScriptErrorIE uitgevoerd)",
              *choice, *search_lines(CATALOGUE_ENTRIES, CATALOGUE_NAMES, PREFERENCE, [(navigator, "NN4", 17)]),
              f"xxx GBB: (ofwel {NAVIGATOR})",
              f"xxx RHTM: (registreren {NAVIGATOR})", "xxx RHTM: (registreren browser uitgevoerd)",
              "C02: (RegistreerHTM uitgevoerd)"]
    page_lines, page = start_page_lines("D:\\", "NN4")
    lookup = [f"201: (FindExecutable = {code})", f"202: BrowserStr = {NAVIGATOR}", *navigator,
              *launch_lines(NAVIGATOR, page, (DESKTOP, NAVIGATOR_WINDOW), page_lines)]
    return Ending(test.debug_log(scenario, lookup, checks=checks), [box(DEBUG_REPORT), box(CHECKS_REPORT)],
                  files={WINDOWS_COPY: CATALOGUE_TEXT, wine_page(): linked_page("NN4")},
                  starts=[started(NAVIGATOR, f"{NAVIGATOR} {wine_page()}")])


CASES = [
    Fault("supported_browser", lambda s: None, ("/DEBUG",), lambda t, s, code: ordinary_run(t, s, code)),
    Fault("better_browser_by_mixed_case_names", mixed_case_browsers, ("/DEBUG",),
          # SPÄHER.EXE stays unfound: the catalogue's name is SPäHER.EXE.
          lambda t, s, code: better_browser(t, s, code, MIXED_CASE_NAVIGATOR, "stub_navigator", "NN4",
                                            [(3, "Netscape Navigator 4")], 17, NAVIGATOR_WINDOW,
                                            MIXED_CASE_CATALOGUE, MIXED_CASE_ENTRIES, MIXED_CASE_NAMES)),
    Fault("checks", navigator_to_associate, ("/CHECKS", "/DEBUG"), checks_associate_the_navigator),
    # The start page's diagnosis asks for the drive's size and free space.
    fault("missing_temp_directory"),
    # The log cannot be saved: the last-resort report.
    fault("log_path_is_a_folder"),
]


class OldWindowsScenarios(FaultScenario):
    windows = None  # the Windows of the case that runs

    def fault_scenario(self):
        scenario = super().fault_scenario()
        run_as(scenario, self.windows)
        self.older_copy = os.stat(scenario.prefix.windows_file(WINDOWS_COPY)).st_ino
        return scenario

    def check_on(self, windows, case):
        self.windows = windows
        scenario, outcome = self.check(case)
        self.assert_catalogue_replaced(scenario)
        self.assert_drive_space(scenario, outcome.log)

    def assert_catalogue_replaced(self, scenario):
        """The disc's catalogue replaced the older copy (the case's ending says
        with what) and left no temporary file; where MoveFileExA is a stub it
        was written over in place, elsewhere moved into place."""
        self.assertIsNone(scenario.read_file(WINDOWS_COPY + ".tmp"), "the temporary copy was left")
        in_place = os.stat(scenario.prefix.windows_file(WINDOWS_COPY)).st_ino == self.older_copy
        self.assertEqual(in_place, not self.windows.moves_files,
                         "written over in place" if in_place else "a new file moved into place")

    def assert_drive_space(self, scenario, log):
        """A drive's size and free space in the log are the whole drive's
        where GetDiskFreeSpaceExA answers, else GetDiskFreeSpaceA's, which
        tells at most 2 GB on Windows 9x."""
        for size, free in DRIVE_SPACE.findall(log or b""):
            size, free = int(size), int(free)
            drive = os.statvfs(scenario.prefix.drive_c)
            expected = drive.f_blocks * drive.f_frsize
            if not self.windows.has_free_space_ex:
                self.assertLessEqual(size, WINDOWS_9X_SPACE_LIMIT)
                expected = min(expected, WINDOWS_9X_SPACE_LIMIT)
            self.assertAlmostEqual(size, expected, delta=SIZE_TOLERANCE)
            self.assertLessEqual(free, size)


def _case_test(windows, case):
    def test(self):
        self.check_on(windows, case)
    return test


for _windows in OLD_WINDOWS:
    for _case in CASES:
        setattr(OldWindowsScenarios, f"test_{_windows.name}_{_case.name}", _case_test(_windows, _case))


if __name__ == "__main__":
    unittest.main()
