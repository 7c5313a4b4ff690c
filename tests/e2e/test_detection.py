"""Browser detection scenarios: the catalogue copy in the Windows directory,
the default browser's code and window size, the search of drive C: for a
better browser when the default one is unknown, and the refusal to start a
disc whose own launcher is newer."""

import re
import unittest

from harness.scenario import WINDOWS_DIRECTORY, BrowserStart, Scenario, short_name
from launcher_log import (CATALOGUE, DEBUG_REPORT, FOUND, HEADER, LAUNCH_FAILED, NOT_FOUND,
                          OLD_VERSION, PROBLEM_REPORT, SEARCH, START_PAGE, TEMPLATE, box, catalogue,
                          catalogue_choice_lines, identification_lines, launch_lines, log_text, search_lines,
                          start_lines, start_page_lines, volume_lines, wine_page)

PREFERENCE = "NN3 IE3 IE4 IE5 NN4"
EXTRA_SIZES = {"IE5": (150, 20), "NN4": (160, 30)}
CATALOGUE_TEXT = catalogue([("IEXPLORE", "4", "IE4", "Internet Explorer 4"),
                            ("IEXPLORE", "5", "IE5", "Internet Explorer 5"),
                            ("NETSCAPE", "4", "NN4", "Netscape Navigator 4"),
                            ("MOSAIC", "", "NA", "NCSA Mosaic")],
                           preference=PREFERENCE, sizes=EXTRA_SIZES)
# Its entries, and the names the search looks for: IEXPLORE.EXE, NETSCAPE.EXE.
CATALOGUE_ENTRIES, CATALOGUE_NAMES = 4, 2
MAIN_PAGE = "D:\\" + START_PAGE
OLD_BROWSERS_PAGE = "D:\\intface\\eenvoud\\oudebrow.htm"
EXPLORER = "C:\\IE\\iexplore.exe"
OTHER_EXPLORER = "C:\\Apps\\IE\\iexplore.exe"
NAVIGATOR = "C:\\Netscape\\Program\\netscape.exe"
UNKNOWN = "C:\\Browser\\stub.exe"
# Xvfb's screen, all of it work area under Wine, whose captions are 18 high
# and borders 1 wide.
DESKTOP = (1024, 768)
EXPLORER_WINDOW = (640 + 20, 480 + 18 + 150)
NAVIGATOR_WINDOW = (640 + 30 + 2, 480 + 18 + 160 + 2)
FIND_EXECUTABLE = re.compile(r"201: \(FindExecutable = (-?\d+)\)")


def started(browser, document):
    return BrowserStart(browser.encode("cp1252"), f"{browser} {document}".encode("cp1252"))


class DetectionScenarios(unittest.TestCase):
    def scenario(self, default_browser, stub):
        """The CD with its catalogue; .htm files open in the stub browser
        `stub` at `default_browser`."""
        scenario = Scenario(short_name(self.id()))
        scenario.add_cd_file(START_PAGE, b"<html></html>")
        scenario.add_cd_file(CATALOGUE, CATALOGUE_TEXT)
        scenario.add_cd_file(TEMPLATE, b"<!--TEMPLATE-->\r\n")
        scenario.add_stub_browser(default_browser, stub)
        scenario.associate_htm(default_browser)
        return scenario

    def assert_log(self, scenario, log, browser, after_lookup, debug=True):
        """The log of a run of the CD's launcher: the start, the lookup of
        `browser` (line 201 with whatever code Wine gave), `after_lookup`
        and the closing empty lines."""
        self.assertIsNotNone(log, "no log file")
        self.assertTrue(log.endswith(b"\r\n"), log[-20:])
        lines = [line.decode("cp1252") for line in log[:-2].split(b"\r\n")]
        codes = [int(match.group(1)) for match in map(FIND_EXECUTABLE.fullmatch, lines) if match]
        self.assertEqual(len(codes), 1, lines)
        self.assertGreater(codes[0], 32)
        launcher = scenario.settings.tarvo32.read_bytes()
        self.assertEqual(lines, [
            *HEADER, *start_lines("D:\\", debug, launcher, "D:\\TARVO32.EXE", launcher), *volume_lines(),
            f"200: HTMLFileName = {MAIN_PAGE}", f"201: (FindExecutable = {codes[0]})",
            f"202: BrowserStr = {browser}", *after_lookup, "", ""])

    def first_identification(self, scenario, browser, stub, code, matches=()):
        """The default browser's identification, which is the run's first
        catalogue reader: the disc's catalogue is chosen and copied."""
        choice, catalogue_path = catalogue_choice_lines("D:\\", 3)
        return identification_lines(browser, scenario.stub_program(stub), catalogue_path, code, matches, choice)

    def identification(self, scenario, browser, stub, code, matches):
        return identification_lines(browser, scenario.stub_program(stub), "D:\\" + CATALOGUE, code, matches)

    def unknown_browser_lines(self, scenario):
        return [*self.first_identification(scenario, UNKNOWN, "stub_browser", "ONB"),
                "Melding: (onbekende of niet ondersteunde browser)"]

    def navigator_found_lines(self, scenario, found_before=()):
        """The search finds the navigator after `found_before`, and the run
        uses it."""
        navigator = self.identification(scenario, NAVIGATOR, "stub_navigator", "NN4",
                                        [(3, "Netscape Navigator 4")])
        page_lines, page = start_page_lines("D:\\", "NN4")
        return [*search_lines(CATALOGUE_ENTRIES, CATALOGUE_NAMES, PREFERENCE, [*found_before, (navigator, "NN4", 17)]),
                f"xxx GBB: (ofwel {NAVIGATOR})", "Melding: (betere browser gevonden)", *navigator,
                *launch_lines(NAVIGATOR, page, (DESKTOP, NAVIGATOR_WINDOW), page_lines)]

    def test_ie_coded_browser_gets_its_code_and_window_size(self):
        scenario = self.scenario(EXPLORER, "stub_explorer")
        outcome = scenario.run(["/DEBUG"])

        page_lines, page = start_page_lines("D:\\", "IE5")
        self.assert_log(scenario, outcome.log, EXPLORER, [
            *self.first_identification(scenario, EXPLORER, "stub_explorer", "IE5", [(2, "Internet Explorer 5")]),
            *launch_lines(EXPLORER, page, (DESKTOP, EXPLORER_WINDOW), page_lines)])
        self.assertEqual(scenario.read_file(WINDOWS_DIRECTORY + "\\BROWSERS.INI"), CATALOGUE_TEXT)
        self.assertEqual(outcome.boxes, [box(DEBUG_REPORT)])
        self.assertEqual(outcome.browser_starts, [started(EXPLORER, page)])
        self.assertEqual(outcome.exit_code, 0)

    def test_unknown_browser_leads_to_the_most_preferred_one_on_drive_c(self):
        scenario = self.scenario(UNKNOWN, "stub_browser")
        scenario.remove_wine_iexplore()
        scenario.add_stub_browser(OTHER_EXPLORER, "stub_explorer")
        scenario.add_stub_browser(NAVIGATOR, "stub_navigator")
        outcome = scenario.run(["/DEBUG"])

        explorer = self.identification(scenario, OTHER_EXPLORER, "stub_explorer", "IE5", [(2, "Internet Explorer 5")])
        self.assert_log(scenario, outcome.log, UNKNOWN, [
            *self.unknown_browser_lines(scenario),
            *self.navigator_found_lines(scenario, [(explorer, "IE5", 13)])])
        self.assertEqual(outcome.boxes, [box(SEARCH), box(FOUND), box(DEBUG_REPORT)])
        self.assertEqual(outcome.browser_starts, [started(NAVIGATOR, wine_page())])
        self.assertEqual(outcome.exit_code, 0)

    def test_no_better_browser_leaves_the_old_browsers_page_and_a_report(self):
        scenario = self.scenario(UNKNOWN, "stub_browser")
        scenario.remove_wine_iexplore()
        outcome = scenario.run()

        self.assert_log(scenario, outcome.log, UNKNOWN, [
            *self.unknown_browser_lines(scenario), *search_lines(CATALOGUE_ENTRIES, CATALOGUE_NAMES, PREFERENCE, []),
            "Melding: (helaas geen betere browser gevonden)", *launch_lines("", OLD_BROWSERS_PAGE),
            "Melding: (cd-rom kan niet gestart worden)"], debug=False)
        self.assertEqual(outcome.boxes, [box(SEARCH), box(NOT_FOUND), box(LAUNCH_FAILED), box(PROBLEM_REPORT)])
        self.assertEqual(outcome.browser_starts, [])
        self.assertEqual(outcome.exit_code, 0)

    def test_directory_links_back_up_the_tree_do_not_stop_the_search(self):
        scenario = self.scenario(UNKNOWN, "stub_browser")
        scenario.remove_wine_iexplore()
        scenario.add_directory_link("C:\\Lus\\terug", "C:\\")
        scenario.add_directory_link("C:\\Lus\\Diep\\nogmaals", "C:\\Lus")
        scenario.add_stub_browser(NAVIGATOR, "stub_navigator")
        outcome = scenario.run(["/DEBUG"])

        self.assert_log(scenario, outcome.log, UNKNOWN, [
            *self.unknown_browser_lines(scenario), *self.navigator_found_lines(scenario)])
        self.assertEqual(outcome.boxes, [box(SEARCH), box(FOUND), box(DEBUG_REPORT)])
        self.assertEqual(outcome.browser_starts, [started(NAVIGATOR, wine_page())])

    def test_newer_launcher_on_the_cd_stops_the_run(self):
        scenario = self.scenario(EXPLORER, "stub_explorer")
        newer = scenario.stub_program("stub_launcher")
        scenario.add_cd_file("TARVO32.EXE", newer)
        launcher = scenario.settings.tarvo32.read_bytes()
        scenario.add_file("C:\\Oud\\TARVO32.EXE", launcher)
        outcome = scenario.run(["D:\\", "/DEBUG"], program="C:\\Oud\\TARVO32.EXE")

        self.assertEqual(outcome.log, log_text([
            *HEADER, *start_lines("D:\\", True, launcher, "C:\\Oud\\TARVO32.EXE", newer),
            "Melding: (oude versie van TARVO32.EXE)", "", ""]))
        self.assertEqual(outcome.boxes, [box(OLD_VERSION), box(DEBUG_REPORT)])
        self.assertEqual(outcome.browser_starts, [])
        self.assertEqual(outcome.exit_code, 0)


if __name__ == "__main__":
    unittest.main()
