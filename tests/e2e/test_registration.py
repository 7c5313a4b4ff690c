"""Registration scenarios: the run files, the MIME type and Navigator's
helper entries as the registry holds them after a run, and the built-in
checks of /CHECKS: the HTML association repair and the re-registration of
Internet Explorer's libraries, also when one of them crashes."""

import re
import unittest

from harness.registry import parse_export
from harness.scenario import Scenario, short_name
from launcher_log import (CATALOGUE, CHECKS_REPORT, DEBUG_REPORT, HEADER, START_PAGE, TEMPLATE, box, catalogue,
                          catalogue_choice_lines, identification_lines, launch_lines, search_lines,
                          start_lines, start_page_lines)

NAVIGATOR = "C:\\Netscape\\Program\\netscape.exe"
EXPLORER = "C:\\IE\\iexplore.exe"
UNKNOWN = "C:\\Browser\\stub.exe"
RUNNER = "d:\\\\intface\\\\runner\\\\runner.exe"  # as .reg text writes it

RUN_FILE_KEYS = ["HKEY_CLASSES_ROOT\\.lmr", "HKEY_CLASSES_ROOT\\Lumora.runfile",
                 "HKEY_CLASSES_ROOT\\MIME\\Database\\Content Type\\application/runfile"]
NAVIGATOR_KEY = "HKEY_CURRENT_USER\\Software\\Netscape\\Netscape Navigator"
HTM_KEYS = ["HKEY_CLASSES_ROOT\\.htm", "HKEY_CLASSES_ROOT\\Lumora.htmlfile"]

RUN_FILE_TYPE = {
    "HKEY_CLASSES_ROOT\\.lmr": {"@": '"Lumora.runfile"', "Content Type": '"application/runfile"'},
    "HKEY_CLASSES_ROOT\\Lumora.runfile": {"@": '"Lumora cd-rom opstartbestand"'},
    "HKEY_CLASSES_ROOT\\Lumora.runfile\\Shell": {},
    "HKEY_CLASSES_ROOT\\Lumora.runfile\\Shell\\Open": {"@": '"&Starten"'},
    "HKEY_CLASSES_ROOT\\Lumora.runfile\\Shell\\Open\\Command": {"@": f'"\\"{RUNNER}\\" \\"%1\\""'},
    "HKEY_CLASSES_ROOT\\MIME\\Database\\Content Type\\application/runfile": {"Extension": '".lmr"'},
}
EDIT_FLAGS = {"EditFlags": "hex:00,00,01,00"}
TRUST = {NAVIGATOR_KEY: {},
         f"{NAVIGATOR_KEY}\\User Trusted External Applications": {RUNNER.replace("\\\\", "\\"): '"Yes"'}}
NETSCAPE_3 = {
    f"{NAVIGATOR_KEY}\\Suffixes": {"application/runfile": '"LMR"'},
    f"{NAVIGATOR_KEY}\\Viewers": {"application/runfile": f'"{RUNNER}"', "TYPE0": '"application/runfile"'},
    **TRUST,
}


def catalogue_for(navigator_code):
    return catalogue([("IEXPLORE", "5", "IE5", "Internet Explorer 5"),
                      ("NETSCAPE", "", navigator_code, "Netscape Navigator")],
                     preference="NN3 NN4 IE5")


class RegistrationScenarios(unittest.TestCase):
    def scenario(self, browser, stub, navigator_code="NN4", name=""):
        scenario = Scenario(short_name(self.id()) + name)
        scenario.add_cd_file(START_PAGE, b"<html></html>")
        scenario.add_cd_file(TEMPLATE, b"<!--TEMPLATE-->\r\n")
        scenario.add_cd_file(CATALOGUE, catalogue_for(navigator_code))
        scenario.add_stub_browser(browser, stub)
        scenario.associate_htm(browser)
        return scenario

    def registry_after(self, outcome, keys):
        registry = {}
        for key in keys:
            registry.update(parse_export(outcome.registry[key]))
        return registry

    def test_each_code_registers_what_it_asks_for_and_a_second_run_changes_nothing(self):
        cases = [
            (EXPLORER, "stub_explorer", "NN4", {**RUN_FILE_TYPE, "HKEY_CLASSES_ROOT\\Lumora.runfile": {
                **RUN_FILE_TYPE["HKEY_CLASSES_ROOT\\Lumora.runfile"], **EDIT_FLAGS}}),
            (NAVIGATOR, "stub_navigator", "NN3", {**RUN_FILE_TYPE, **NETSCAPE_3}),
            (NAVIGATOR, "stub_navigator", "NN4", {**RUN_FILE_TYPE, **TRUST}),
        ]
        for browser, stub, navigator_code, expected in cases:
            with self.subTest(stub=stub, code=navigator_code):
                scenario = self.scenario(browser, stub, navigator_code, f"-{stub}-{navigator_code}")
                first = scenario.run(export=RUN_FILE_KEYS + [NAVIGATOR_KEY])
                second = scenario.run(export=RUN_FILE_KEYS + [NAVIGATOR_KEY])

                self.assertEqual(self.registry_after(first, RUN_FILE_KEYS + [NAVIGATOR_KEY]), expected)
                self.assertEqual(second.registry, first.registry)
                self.assertEqual((first.boxes, first.log, first.exit_code), ([], None, 0),
                                 "a clean machine is no problem")

    def test_checks_associate_htm_with_the_preferred_browser_that_the_lookup_then_finds(self):
        scenario = self.scenario(UNKNOWN, "stub_browser")
        scenario.remove_wine_iexplore()
        scenario.add_stub_browser(NAVIGATOR, "stub_navigator")
        outcome = scenario.run(["/CHECKS"], export=HTM_KEYS)

        self.assertEqual(self.registry_after(outcome, HTM_KEYS), {
            "HKEY_CLASSES_ROOT\\.htm": {"@": '"Lumora.htmlfile"', "Content Type": '"text/html"'},
            "HKEY_CLASSES_ROOT\\Lumora.htmlfile": {"@": '"HTML Document"'},
            "HKEY_CLASSES_ROOT\\Lumora.htmlfile\\Shell": {},
            "HKEY_CLASSES_ROOT\\Lumora.htmlfile\\Shell\\Open": {},
            "HKEY_CLASSES_ROOT\\Lumora.htmlfile\\Shell\\Open\\Command": {
                "@": '"\\"C:\\\\Netscape\\\\Program\\\\netscape.exe\\" \\"%1\\""'},
        })
        lines = outcome.log.decode("cp1252").split("\r\n")
        checks = lines[lines.index("C00: (start uitvoeren alle ingebouwde checks)"):
                       lines.index("C02: (RegistreerHTM uitgevoerd)") + 1]
        self.assertEqual([line for line in checks if re.match(r"C0|xxx SSEIE|xxx RAL|xxx RHTM", line)], [
            "C00: (start uitvoeren alle ingebouwde checks)",
            "xxx SSEIE: Lengte = 19", "xxx SSEIE: SystemDir = C:\\windows\\system32\\",
            *self.library_lines("C:\\windows\\system32\\actxprxy.dll", lines),
            *self.library_lines("C:\\windows\\system32\\shdocvw.dll", lines),
            "C01: (SolveScriptErrorIE uitgevoerd)",
            f"xxx RHTM: (registreren {NAVIGATOR})", "xxx RHTM: (registreren browser uitgevoerd)",
            "C02: (RegistreerHTM uitgevoerd)"])
        self.assertIn(f"202: BrowserStr = {NAVIGATOR}", lines)
        self.assertNotIn("Melding: (onbekende of niet ondersteunde browser)", lines)
        self.assertEqual(outcome.boxes, [box(CHECKS_REPORT)])
        self.assertEqual([start.program for start in outcome.browser_starts], [NAVIGATOR.encode()])
        self.assertEqual(outcome.exit_code, 0)

    def test_a_debug_run_with_checks_logs_the_whole_sequence(self):
        scenario = self.scenario(EXPLORER, "stub_explorer")
        scenario.remove_wine_iexplore()
        scenario.add_stub_browser(EXPLORER, "stub_explorer")  # the one iexplore.exe on C:
        outcome = scenario.run(["/DEBUG", "/CHECKS"])

        lines = outcome.log.decode("cp1252").split("\r\n")
        launcher = scenario.settings.tarvo32.read_bytes()
        explorer = scenario.stub_program("stub_explorer")
        choice, catalogue_path = catalogue_choice_lines("D:\\", 3)
        identified = identification_lines(EXPLORER, explorer, catalogue_path, "IE5",
                                          [(1, "Internet Explorer 5")])
        page_lines, page = start_page_lines("D:\\", "IE5")
        code = next(line for line in lines if line.startswith("201: "))
        self.assertEqual(lines, [
            *HEADER, *start_lines("D:\\", True, launcher, "D:\\TARVO32.EXE", launcher),
            "104: (volumelabel = LUMORA)", "",
            "C00: (start uitvoeren alle ingebouwde checks)",
            "xxx SSEIE: Lengte = 19", "xxx SSEIE: SystemDir = C:\\windows\\system32\\",
            *self.library_lines("C:\\windows\\system32\\actxprxy.dll", lines),
            *self.library_lines("C:\\windows\\system32\\shdocvw.dll", lines),
            "C01: (SolveScriptErrorIE uitgevoerd)",
            # The search is the run's first reader of the catalogue.
            *choice, *search_lines(2, 2, "NN3 NN4 IE5", [(identified, "IE5", 9)]),
            f"xxx GBB: (ofwel {EXPLORER})",
            f"xxx RHTM: (registreren {EXPLORER})", "xxx RHTM: (registreren browser uitgevoerd)",
            "C02: (RegistreerHTM uitgevoerd)", "",
            "200: HTMLFileName = D:\\intface\\hoofd.htm", code, f"202: BrowserStr = {EXPLORER}",
            *identified, *launch_lines(EXPLORER, page, ((1024, 768), (640, 480 + 18)), page_lines),
            "", "", ""])
        self.assertEqual(outcome.boxes, [box(DEBUG_REPORT), box(CHECKS_REPORT)])
        self.assertEqual(outcome.exit_code, 0)

    def library_lines(self, path, lines):
        """A system library of Wine's own, found, loaded and registered."""
        handle = next(line for line in lines if line.startswith("xxx RAL: LibHandle = ")
                      and lines[lines.index(line) - 1] == f"xxx RAL: FileName = {path}")
        self.assertNotEqual(handle, "xxx RAL: LibHandle = 0")
        return [f"xxx RAL: FileName = {path}", handle, "xxx RAL: (registratie is gelukt!)"]

    def test_a_library_whose_registration_crashes_ends_the_run_with_the_last_resort_report(self):
        scenario = self.scenario(EXPLORER, "stub_explorer")
        scenario.replace_system_library("actxprxy.dll", "faulting_library")
        outcome = scenario.run(["/CHECKS", "/DEBUG"])

        self.assertEqual(len(outcome.boxes), 3, outcome.boxes)
        error = outcome.boxes[0]
        self.assertEqual(error.caption, b"Application Error")
        self.assertTrue(error.icon)
        self.assertRegex(error.text, re.compile(
            b"Exception EExternalException in module TARVO32\\.EXE at [0-9A-F]{%d}\\.\n"
            b"External exception C0000005\\." % scenario.address_digits))
        self.assertEqual(outcome.boxes[1:], [box(DEBUG_REPORT), box(CHECKS_REPORT)])
        lines = outcome.log.decode("cp1252").split("\r\n")
        self.assertEqual(lines[-5:-3], ["xxx RAL: FileName = C:\\windows\\system32\\actxprxy.dll",
                                        lines[-4]])
        self.assertRegex(lines[-4], r"^xxx RAL: LibHandle = [1-9]\d*$")
        self.assertEqual(lines[-3:], ["", "", ""], "two closing empty lines, each ended by CR LF")
        self.assertEqual(outcome.browser_starts, [])
        self.assertEqual(outcome.exit_code, 1)


if __name__ == "__main__":
    unittest.main()
