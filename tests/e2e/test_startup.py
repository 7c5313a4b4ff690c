"""Start-up scenarios: tarvo32.exe on a CD mapped as D: under Wine, looking
up the browser for .htm files, recognising it in the CD's catalogue and
starting it on the start page made from the CD's template."""

import re
import unittest

from harness.scenario import LOG_FILE, PROGRAM, BrowserStart, Scenario, short_name
from launcher_log import (BAD_START_DIR, CATALOGUE, CHECKS_REPORT, DEBUG_REPORT, HEADER, NO_BROWSER,
                          NO_BROWSER_LINE, START_PAGE, TEMPLATE, box, catalogue, catalogue_choice_lines,
                          identification_lines, launch_lines, start_lines, start_page_lines,
                          volume_lines, wine_page)

BROWSER = "C:\\Browser\\stub.exe"
MISSING_BROWSER = "C:\\Weg\\browser.exe"
FIND_EXECUTABLE = re.compile(r"201: \(FindExecutable = (-?\d+)\)")
OLD_LOG = b"Log van een eerdere start\r\nmet \xEF\r\n"
# The stub browser, known by its name; a window of 640 by 498 (Wine's
# captions are 18 high) fits Xvfb's screen of 1024 by 768.
STUB_CATALOGUE = catalogue([("STUB", "1", "IE5", "Stub Browser")])
SIZES = ((1024, 768), (640, 498))
TEMPLATE_TEXT = b"<html><body><a href=\"<!--TEMPLATE-->\">cd-rom</a></body></html>\r\n"


def started(browser, command_line):
    """The stub at `browser` ran with exactly `command_line`."""
    return BrowserStart(browser.encode("cp1252"), command_line.encode("cp1252"))


class StartupScenario(unittest.TestCase):
    def scenario(self, browser=BROWSER, start_page=True):
        """A CD with tarvo32.exe, the stub's catalogue, the start page's
        template and, unless told otherwise, its main page; .htm files open
        in a stub browser at `browser`."""
        scenario = Scenario(short_name(self.id()))
        if start_page:
            scenario.add_cd_file(START_PAGE, b"<html></html>")
        scenario.add_cd_file(CATALOGUE, STUB_CATALOGUE)
        scenario.add_cd_file(TEMPLATE, TEMPLATE_TEXT)
        scenario.add_stub_browser(browser)
        scenario.associate_htm(browser)
        return scenario

    def debug_log(self, scenario, lookup_lines, start_dir="D:\\", label="LUMORA", debug=True, checks=()):
        """A /DEBUG log (or with `debug` false, one kept for a problem) of the
        launcher on the CD (or run for `start_dir`): header, start-up lines,
        the lines of the built-in checks when `checks` gives them, then from
        the browser lookup on, and the two closing empty lines."""
        launcher = scenario.settings.tarvo32.read_bytes()
        cd_launcher = launcher if start_dir == "D:\\" else None
        return [*HEADER, *start_lines(start_dir, debug, launcher, "D:\\TARVO32.EXE", cd_launcher),
                *volume_lines(label), *checks, *([""] if checks else []),
                f"200: HTMLFileName = {start_dir}{START_PAGE}", *lookup_lines, "", ""]

    def recognised(self, scenario, code, browser, start_dir="D:\\", cd_version=3, windows_version=0,
                   display="Stub Browser"):
        """The lookup finds `browser`, which the catalogue copy chosen from the
        CD's and the Windows folder's versions knows as IE5 by its entry 1,
        displayed as `display`."""
        choice, catalogue_path = catalogue_choice_lines(start_dir, cd_version, windows_version,
                                                        copied=windows_version < cd_version)
        return [f"201: (FindExecutable = {code})", f"202: BrowserStr = {browser}",
                *identification_lines(browser, scenario.stub_program(), catalogue_path, "IE5",
                                      [(1, display)], choice)]

    def found(self, scenario, code, browser, start_dir="D:\\", temp_dir=None, **catalogue):
        """The lookup finds `browser`, which the catalogue knows (`catalogue`
        as for recognised), and it starts on the start page, made in
        `temp_dir` (Wine's unless given)."""
        page_lines, page = start_page_lines(start_dir, "IE5", temp_dir)
        return [*self.recognised(scenario, code, browser, start_dir, **catalogue),
                *launch_lines(browser, page, SIZES, page_lines)]

    def log_lines(self, log):
        """The log's lines, each checked to end in CR LF and nowhere else."""
        self.assertIsNotNone(log, "no log file")
        self.assertTrue(log.endswith(b"\r\n"), log[-20:])
        lines = log[:-2].split(b"\r\n")
        for line in lines:
            self.assertNotRegex(line, rb"[\r\n]", "stray line break")
        return [line.decode("cp1252") for line in lines]

    def find_executable_code(self, lines):
        """The code line 201 reports, which is whatever Wine returned."""
        matches = [FIND_EXECUTABLE.fullmatch(line) for line in lines]
        codes = [int(match.group(1)) for match in matches if match]
        self.assertEqual(len(codes), 1, f"one line 201 expected in {lines}")
        return codes[0]


class StartupScenarios(StartupScenario):
    def test_debug_run(self):
        scenario = self.scenario()
        outcome = scenario.run(["/DEBUG"])

        lines = self.log_lines(outcome.log)
        code = self.find_executable_code(lines)
        self.assertGreater(code, 32)
        self.assertEqual(lines, self.debug_log(scenario, self.found(scenario, code, BROWSER)))
        self.assertEqual(outcome.boxes, [box(DEBUG_REPORT)])
        self.assertEqual(outcome.browser_starts, [started(BROWSER, f"C:\\Browser\\stub.exe {wine_page()}")])
        self.assertEqual(outcome.exit_code, 0)

    def test_run_without_switches_writes_no_log(self):
        outcome = self.scenario().run()

        self.assertIsNone(outcome.log)
        self.assertEqual(outcome.boxes, [])
        self.assertEqual(outcome.browser_starts, [started(BROWSER, f"C:\\Browser\\stub.exe {wine_page()}")])
        self.assertEqual(outcome.exit_code, 0)

    def test_run_without_switches_keeps_older_log(self):
        scenario = self.scenario()
        scenario.add_file(LOG_FILE, OLD_LOG)
        outcome = scenario.run()

        self.assertEqual(outcome.log, OLD_LOG)
        self.assertEqual(outcome.boxes, [])
        self.assertEqual(outcome.exit_code, 0)

    def test_start_dir_without_start_page(self):
        scenario = self.scenario(start_page=False)
        scenario.add_cd_file("intface\\anders.htm")
        outcome = scenario.run()

        self.assertEqual(outcome.boxes, [box(BAD_START_DIR)])
        self.assertIsNone(outcome.log)
        self.assertEqual(outcome.browser_starts, [])
        self.assertEqual(outcome.exit_code, 0)

    def test_association_to_deleted_browser(self):
        scenario = self.scenario()
        scenario.associate_htm(MISSING_BROWSER)
        outcome = scenario.run(["/DEBUG"])

        lines = self.log_lines(outcome.log)
        code = self.find_executable_code(lines)
        self.assertGreater(code, 32)
        self.assertEqual(lines, self.debug_log(scenario, [
            f"201: (FindExecutable = {code})", f"202: BrowserStr = {MISSING_BROWSER}",
            "203: Executable niet gevonden!", NO_BROWSER_LINE]))
        self.assertEqual(outcome.boxes, [box(NO_BROWSER), box(DEBUG_REPORT)])
        self.assertEqual(outcome.browser_starts, [])
        self.assertEqual(outcome.exit_code, 0)

    def test_association_to_deleted_browser_without_switches(self):
        scenario = self.scenario()
        scenario.associate_htm(MISSING_BROWSER)
        outcome = scenario.run()

        self.assertEqual(outcome.boxes, [box(NO_BROWSER)])
        self.assertIsNone(outcome.log, "the lookup's lines are no problem lines")
        self.assertEqual(outcome.exit_code, 0)

    def test_no_association(self):
        scenario = self.scenario()
        scenario.remove_htm_association()
        outcome = scenario.run(["/DEBUG"])

        lines = self.log_lines(outcome.log)
        code = self.find_executable_code(lines)
        self.assertLessEqual(code, 32)
        self.assertNotEqual(code, 2)
        self.assertEqual(lines, self.debug_log(scenario, [f"201: (FindExecutable = {code})", NO_BROWSER_LINE]))
        self.assertEqual(outcome.boxes, [box(NO_BROWSER), box(DEBUG_REPORT)])
        self.assertEqual(outcome.browser_starts, [])
        self.assertEqual(outcome.exit_code, 0)

    def test_both_switches(self):
        outcome = self.scenario().run(["/DEBUG", "/CHECKS"])

        self.assertEqual(outcome.boxes, [box(DEBUG_REPORT), box(CHECKS_REPORT)])
        lines = self.log_lines(outcome.log)
        self.assertEqual(lines[:7], [*HEADER, "100: StartDir = D:\\", "101: Debug = TRUE"])
        self.assertEqual(lines[-4:], [f"407: BrowserPad = {BROWSER}", f"408: OpenHTMLdoc = {wine_page()}", "", ""])
        self.assertEqual(outcome.browser_starts, [started(BROWSER, f"C:\\Browser\\stub.exe {wine_page()}")])
        self.assertEqual(outcome.exit_code, 0)

    def test_unwritable_log(self):
        scenario = self.scenario()
        scenario.add_file(LOG_FILE, OLD_LOG, read_only=True)
        outcome = scenario.run(["/DEBUG"])

        self.assertEqual(len(outcome.boxes), 1, outcome.boxes)
        error = outcome.boxes[0]
        self.assertEqual(error.caption, b"Application Error")
        self.assertTrue(error.icon, "the last-resort box shows the error icon")
        self.assertRegex(error.text, re.compile(
            b"Exception ELogFile in module " + re.escape(PROGRAM.encode())
            + b" at [0-9A-F]{%d}\\.\nTLogFile: save error\\." % scenario.address_digits))
        self.assertEqual(outcome.log, OLD_LOG)
        self.assertEqual(outcome.exit_code, 1)

    def test_browser_path_with_blanks(self):
        browser = "C:\\Program Files\\Stub Browser\\stub.exe"
        scenario = self.scenario(browser)
        # What Windows runs when the path reaches it unquoted.
        scenario.add_stub_browser("C:\\Program.exe")
        outcome = scenario.run(["/DEBUG"])

        self.assertEqual(outcome.browser_starts, [
            started(browser, f'"C:\\Program Files\\Stub Browser\\stub.exe" {wine_page()}')])
        lines = self.log_lines(outcome.log)
        self.assertEqual(lines, self.debug_log(scenario, self.found(scenario, self.find_executable_code(lines),
                                                                    browser)))
        self.assertEqual(outcome.exit_code, 0)

    def test_quoted_start_dir_with_blanks(self):
        scenario = self.scenario()
        scenario.add_file("C:\\Mijn CD\\intface\\hoofd.htm", b"<html></html>")
        scenario.add_file("C:\\Mijn CD\\" + CATALOGUE, STUB_CATALOGUE)
        scenario.add_file("C:\\Mijn CD\\" + TEMPLATE, TEMPLATE_TEXT)
        outcome = scenario.run(tail='/DEBUG "C:\\Mijn CD\\"')

        start_dir = "C:\\MIJN CD\\"
        lines = self.log_lines(outcome.log)
        self.assertEqual(lines, self.debug_log(
            scenario, self.found(scenario, self.find_executable_code(lines), BROWSER, start_dir), start_dir, ""))
        self.assertEqual(outcome.browser_starts, [started(BROWSER, f"C:\\Browser\\stub.exe {wine_page()}")])
        self.assertEqual(scenario.read_file(wine_page()),
                         b'<html><body><a href="file:///c|/mijn cd/intface/hoofd.htm">cd-rom</a></body></html>\r\n')
        self.assertEqual(outcome.boxes, [box(DEBUG_REPORT)])
        self.assertEqual(outcome.exit_code, 0)


if __name__ == "__main__":
    unittest.main()
