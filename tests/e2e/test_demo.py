"""scripts/demo's own part, tools/demo/demo.py, on the built sample disc:
what it shows in the terminal for each kind of PC, and its pictures. It
borrows the test run's prefix template and display."""

import os
import re
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

from harness.picture import png_pixels
from harness.scenario import Settings
from launcher_log import DEBUG_REPORT, HEADER, LABEL, NO_BROWSER, NO_BROWSER_LINE, start_page_lines

DEMO = Path(__file__).resolve().parents[2] / "tools" / "demo" / "demo.py"
DEMO_TIMEOUT_SECONDS = 120
IE6 = "C:\\Browsers\\IE6\\iexplore.exe"


def cases():
    """demo options -> (the disc's label, boxes, the log's last lines, what
    the browser received). Internet Explorer 6's window fits the display, so
    it gets the start page."""
    page_lines, page = start_page_lines("D:\\", "IE6")
    started = ([DEBUG_REPORT], [*page_lines, f"407: BrowserPad = {IE6}", f"408: OpenHTMLdoc = {page}", "", ""],
               [f"{IE6} {page}"])
    return {
        (): (LABEL, *started),
        ("--no-browser",): (LABEL, [NO_BROWSER, DEBUG_REPORT], [NO_BROWSER_LINE, "", ""],
                            ["(no browser was started)"]),
        ("--image",): ("Lumora cover-cd", *started),
    }


def boxes_shown(output):
    """The text of each box the demo drew, its lines joined again."""
    boxes = re.findall(r"^\+- .*?-\+\n(.*?)^\+-+\+$", output, re.MULTILINE | re.DOTALL)
    return [" ".join(line[2:-2].strip() for line in box.splitlines() if line[2:-2].strip() not in ("", "[ OK ]"))
            for box in boxes]


def section(output, title):
    """The lines under a "== title ==" heading, up to the next blank line
    that comes before a heading or the end."""
    body = output.split(f"== {title}")[1].split("\n", 1)[1]
    return re.split(r"\n\n(?:==|The prefix)", body)[0].split("\n")


class DemoScenarios(unittest.TestCase):
    def demo(self, *options):
        settings = Settings.from_environment()
        environment = {name: value for name, value in os.environ.items() if name != "DISPLAY"}
        result = subprocess.run(
            [sys.executable, "-B", str(DEMO), "--build", str(settings.tarvo32.parent), "--work", str(settings.work),
             *options], capture_output=True, text=True, errors="replace", env=environment,
            timeout=DEMO_TIMEOUT_SECONDS)
        self.assertEqual(result.returncode, 0, result.stderr)
        return result.stdout

    def test_demo_shows_the_run(self):
        for options, (label, boxes, log, browser) in cases().items():
            with self.subTest(options=options):
                output = self.demo(*options)
                self.assertEqual(boxes_shown(output), boxes)
                shown_log = section(output, "The log, C:\\LMRSTART.LOG")
                self.assertEqual(shown_log[:len(HEADER)], HEADER)
                self.assertIn(f"104: (volumelabel = {label})", shown_log)
                self.assertEqual(shown_log[-len(log):], log)
                self.assertEqual(section(output, "The browser received"), browser)
                self.assertIn("TARVO32.EXE ended with exit code 0", output)

    def test_demo_saves_a_picture_of_each_box(self):
        with tempfile.TemporaryDirectory() as folder:
            output = self.demo("--no-browser", "--screenshots", folder)
            pictures = sorted(Path(folder).iterdir())
            self.assertEqual([path.name for path in pictures], ["box-1.png", "box-2.png"], output)
            for path in pictures:
                width, height, rows = png_pixels(path.read_bytes())
                self.assertGreater(width, 100)
                self.assertGreater(height, 50)
                colours = {row[i:i + 3] for row in rows for i in range(0, len(row), 3)}
                self.assertGreater(len(colours), 2, f"{path.name} shows no box")


if __name__ == "__main__":
    unittest.main()
