"""Start page scenarios: the launcher fills in the CD's template and starts
the browser on lmrstart.htm in the temporary folder; when a file of the page
cannot be read or written, the log diagnoses it and no browser starts."""

import calendar
import os
import re
import time
import unittest
from datetime import datetime, timezone
from zoneinfo import ZoneInfo

from launcher_log import (CATALOGUE, DEBUG_REPORT, NO_TEMP_DIR, PAGE_FAILED, PROBLEM_REPORT, TEMPLATE,
                          box, catalogue, wine_page, wine_temp_dir)
from test_startup import BROWSER, STUB_CATALOGUE, StartupScenario, started

SETTINGS_KEY = "Software\\Lumora\\Interface"
MAIN_PAGE_ADDRESS = "file:///d|/intface/hoofd.htm"
NAVIGATOR_CATALOGUE = catalogue([("STUB", "1", "NN3", "Stub Navigator 3")], sizes={"NN3": (156, 24)})
DESKTOP_LINE = re.compile(r"400: \(bureaublad is (\d+) bij (\d+) pixels\)")
WINDOW_LINE = re.compile(r"401: \(browser wordt (\d+) bij (\d+) pixels\)")
# 2001-03-04 13:05:09 UTC: an existing page's last change.
PAGE_TIME = calendar.timegm((2001, 3, 4, 13, 5, 9))


def page_pairs(x, y, address, year):
    """(template line, page line) pairs: every placeholder (the music
    settings at their defaults), and lines the launcher must leave as they
    are."""
    title = "<html><head><title>Lumora cover-cd, \xe9\xe9n</title>"
    return [
        (title, title),
        ('<script language="JavaScript"><!--', '<script language="JavaScript"><!--'),
        ("var links = <!--INTFACEX-->;", f"var links = {x};"),
        ("var boven = <!--INTFACEY-->;", f"var boven = {y};"),
        ('var hoofdpagina = "<!--TEMPLATE-->";', f'var hoofdpagina = "{address}";'),
        ("var muziek = <!--MUZIEK-->;", "var muziek = 1;"),
        ("var nummer = <!--NUMMER-->;", "var nummer = 1;"),
        ("var volume = <!--VOLUME-->;", "var volume = 7;"),
        ("var plaats = [<!--INTFACEX-->, <!--INTFACEY-->];", f"var plaats = [{x}, <!--INTFACEY-->];"),
        ("// -->", "// -->"),
        ("</script></head><body>", "</script></head><body>"),
        ("<!-- gewoon commentaar --><!--VOLUME-->", "<!-- gewoon commentaar --><!--VOLUME-->"),
        ("<p><!--intfacex--> <!-- INTFACEY --></p>", "<p><!--intfacex--> <!-- INTFACEY --></p>"),
        ("<p><!--STATUSTEKST--></p>", f"<p>\xa9 Lumora {year}</p>"),
        ("</body></html>", "</body></html>"),
    ]


def template_text(pairs):
    """The template's lines ended by LF alone, as an editor on Unix leaves them."""
    return "".join(line + "\n" for line, _ in pairs).encode("cp1252")


def page_text(pairs):
    return "".join(line + "\r\n" for _, line in pairs).encode("cp1252")


def system_time_zone():
    """/etc/localtime's zone; a machine without one keeps UTC, as Wine does."""
    try:
        with open("/etc/localtime", "rb") as zone:
            return ZoneInfo.from_file(zone)
    except FileNotFoundError:
        return timezone.utc


def shown_file_time(timestamp):
    """The time as the diagnosis shows it: in the system's time zone (Wine
    runs without TZ), at a DOS time's two seconds, in US English's short
    date and long time (Wine's locale under LC_ALL=C)."""
    local = datetime.fromtimestamp(timestamp, system_time_zone())
    hour = local.hour % 12 or 12
    return (f"{local.month}/{local.day}/{local.year} {hour}:{local.minute:02}:{local.second // 2 * 2:02} "
            f"{'AM' if local.hour < 12 else 'PM'}")


def centred(area, window):
    """Half the room the window leaves, rounded toward zero."""
    room = area - window
    return -(-room // 2) if room < 0 else room // 2


class StartPageScenarios(StartupScenario):
    def disc(self, template=b"", catalogue_text=STUB_CATALOGUE):
        """The start-up scenarios' CD with `template` (None: none) and
        `catalogue_text`."""
        scenario = self.scenario()
        scenario.add_cd_file(CATALOGUE, catalogue_text)
        if template is None:
            (scenario.cd / TEMPLATE.replace("\\", "/")).unlink()
        else:
            scenario.add_cd_file(TEMPLATE, template)
        return scenario

    def window_position(self, lines):
        """The window's position in the work area that lines 400 and 401 give."""
        desktop, = [DESKTOP_LINE.fullmatch(line) for line in lines if DESKTOP_LINE.fullmatch(line)]
        window, = [WINDOW_LINE.fullmatch(line) for line in lines if WINDOW_LINE.fullmatch(line)]
        (desktop_width, desktop_height), (width, height) = (map(int, match.groups()) for match in (desktop, window))
        return centred(desktop_width, width), centred(desktop_height, height)

    def lines_after_sizes(self, lines):
        """The log's lines after line 401."""
        at = next(index for index, line in enumerate(lines) if WINDOW_LINE.fullmatch(line))
        return lines[at + 1:]

    def test_supported_browser_gets_the_filled_in_page(self):
        scenario = self.disc(template_text(page_pairs(0, 0, "", 0)))
        year_before = time.localtime().tm_year
        outcome = scenario.run(["/DEBUG"])
        years = {year_before, time.localtime().tm_year}

        lines = self.log_lines(outcome.log)
        self.assertEqual(lines, self.debug_log(scenario, self.found(scenario, self.find_executable_code(lines),
                                                                    BROWSER)))
        x, y = self.window_position(lines)
        self.assertIn(scenario.read_file(wine_page()),
                      [page_text(page_pairs(x, y, MAIN_PAGE_ADDRESS, year)) for year in years])
        self.assertEqual(outcome.browser_starts, [started(BROWSER, f"{BROWSER} {wine_page()}")])
        self.assertEqual(outcome.boxes, [box(DEBUG_REPORT)])
        self.assertEqual(outcome.exit_code, 0)

    def test_navigator_3_gets_the_framed_main_page(self):
        scenario = self.disc(b'<frameset><frame src="<!--TEMPLATE-->"></frameset>\r\n', NAVIGATOR_CATALOGUE)
        outcome = scenario.run()

        self.assertEqual(scenario.read_file(wine_page()),
                         b'<frameset><frame src="file:///d|/intface/frame.htm"></frameset>\r\n')
        self.assertEqual(outcome.browser_starts, [started(BROWSER, f"{BROWSER} {wine_page()}")])
        self.assertIsNone(outcome.log)
        self.assertEqual(outcome.boxes, [])
        self.assertEqual(outcome.exit_code, 0)

    def test_music_settings_come_from_the_registry(self):
        scenario = self.disc(b"aan=<!--MUZIEK-->\r\nnummer=<!--NUMMER-->\r\nvolume=<!--VOLUME-->\r\n")
        # The number stored as text, as no REG_DWORD: the reader is told, and
        # its placeholder stays.
        scenario.set_user_values(SETTINGS_KEY, {"MuziekAan": 0, "MuziekNummer": "5", "MuziekVolume": 3})
        outcome = scenario.run()

        self.assertEqual(scenario.read_file(wine_page()), b"aan=0\r\nnummer=<!--NUMMER-->\r\nvolume=3\r\n")
        self.assertEqual(outcome.boxes, [box("Exception: Invalid data type for 'MuziekNummer'")])
        self.assertIsNone(outcome.log, "the settings' errors are no problem lines")
        self.assertEqual(outcome.browser_starts, [started(BROWSER, f"{BROWSER} {wine_page()}")])
        self.assertEqual(outcome.exit_code, 0)

    def test_read_only_page_is_diagnosed(self):
        scenario = self.disc(b"<!--TEMPLATE-->\r\n")
        scenario.add_file(wine_page(), b"oud", read_only=True)
        os.utime(scenario.prefix.windows_file(wine_page()), (PAGE_TIME, PAGE_TIME))
        outcome = scenario.run()

        page = wine_page()
        self.assertEqual(self.lines_after_sizes(self.log_lines(outcome.log)), [
            f"403: TempDir = {wine_temp_dir()}", f"404: (ConvertToBrowserDir = {MAIN_PAGE_ADDRESS})",
            f"405: FileName = {page}", f"xxx EL: (Exception EFCreateError: Cannot create file {page})",
            f"xxx EL: ({page} bestaat al)", f"xxx EL: FileDatum = {shown_file_time(PAGE_TIME)}",
            "xxx EL: (File attribute = 33)", "", ""])
        self.assertEqual(outcome.boxes, [box(PAGE_FAILED), box(PROBLEM_REPORT)])
        self.assertEqual(outcome.browser_starts, [])
        self.assertEqual(scenario.read_file(page), b"oud")
        self.assertEqual(outcome.exit_code, 0)

    def test_missing_template_is_diagnosed_at_the_start_directory(self):
        scenario = self.disc(None)
        outcome = scenario.run()

        tail = self.lines_after_sizes(self.log_lines(outcome.log))
        self.assertEqual(tail[:5], [
            f"403: TempDir = {wine_temp_dir()}",
            "xxx EL: (Exception EFOpenError: Cannot open file D:\\intface\\template.htm)",
            "xxx EL: (D:\\ bestaat niet)", "xxx EL: (D:\\ bestaat)", "xxx EL: (Drive type is DRIVE_CDROM)"])
        self.assertRegex(tail[5], r"^xxx EL: \(grootte = \d+\)$")
        self.assertRegex(tail[6], r"^xxx EL: \(vrij = \d+\)$")
        self.assertEqual(tail[7:], ["", ""])
        self.assertEqual(outcome.boxes, [box(PAGE_FAILED), box(PROBLEM_REPORT)])
        self.assertEqual(outcome.browser_starts, [])
        self.assertEqual(outcome.exit_code, 0)

    def test_temp_directory_on_the_start_directory_gives_way_to_drive_c(self):
        scenario = self.disc(b"<!--TEMPLATE-->\r\n")
        scenario.set_temp_directory("D:\\")
        outcome = scenario.run(["/DEBUG"])

        lines = self.log_lines(outcome.log)
        self.assertEqual(lines, self.debug_log(scenario, self.found(
            scenario, self.find_executable_code(lines), BROWSER, temp_dir="D:\\")))
        self.assertEqual(scenario.read_file("C:\\lmrstart.htm"), MAIN_PAGE_ADDRESS.encode() + b"\r\n")
        self.assertEqual(outcome.browser_starts, [started(BROWSER, f"{BROWSER} C:\\lmrstart.htm")])
        self.assertEqual(outcome.boxes, [box(NO_TEMP_DIR), box(DEBUG_REPORT)])
        self.assertEqual(outcome.exit_code, 0)


if __name__ == "__main__":
    unittest.main()
