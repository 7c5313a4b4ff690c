"""tarvo-check under Wine, through scripts/tarvo-check's own part on Linux
paths: the built sample disc is clean, each broken master gives its one
finding, identify tells what the launcher logs for the same browser, and log
reads back the log a real run just wrote, alone and in a mailbox."""

import email.policy
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
from email.message import EmailMessage
from pathlib import Path

from harness.scenario import Scenario, Settings, short_name

CHECK = Path(__file__).resolve().parents[2] / "tools" / "check" / "tarvo_check.py"
TOOL_TIMEOUT_SECONDS = 120
CATALOGUE = Path("intface") / "browsers.ini"
TEMPLATE = Path("intface") / "template.htm"
WINDOW = re.compile(r"401: \(browser wordt (\d+) bij (\d+) pixels\)")
LOG_FILE = "C:\\LMRSTART.LOG"


def settings():
    return Settings.from_environment()


def sample_disc():
    return settings().tarvo32.parent / "sample-cd"


def tool_command(tool, *arguments):
    """The command line and environment of the Linux side of a tool that
    runs the build's checker (tools/*/*.py): off the display, with the run's
    prefix template."""
    environment = {name: value for name, value in os.environ.items() if name != "DISPLAY"}
    return [sys.executable, "-B", str(tool), "--build", str(settings().tarvo32.parent), "--work",
            str(settings().work), *map(str, arguments)], environment


def run_tool(tool, *arguments):
    """The exit status, output and errors of such a tool."""
    command, environment = tool_command(tool, *arguments)
    result = subprocess.run(command, capture_output=True, text=True, env=environment, timeout=TOOL_TIMEOUT_SECONDS)
    return result.returncode, result.stdout, result.stderr


def check(*arguments):
    """tarvo-check's exit status, output and errors."""
    return run_tool(CHECK, *arguments)


def edit(file, old, new):
    def change(master):
        path = master / file
        text = path.read_bytes().decode("cp1252")
        if old not in text:
            raise AssertionError(f"{old!r} is not in the sample disc's {file}")
        path.write_bytes(text.replace(old, new).encode("cp1252"))
    return change


def edit_catalogue(old, new):
    return edit(CATALOGUE, old, new)


def line_number(master, file, text):
    """The number of the line of `file` that holds `text`."""
    lines = (master / file).read_bytes().decode("cp1252").split("\r\n")
    return next(number for number, line in enumerate(lines, 1) if text in line)


def replace_launcher(stub):
    def change(master):
        shutil.copyfile(settings().tools / f"{stub}.exe", master / "TARVO32.EXE")
    return change


def remove(relative):
    return lambda master: (master / relative).unlink()


# What the broken master's copy of the sample disc gets, and its finding:
# code, file and a text its line holds (None: no line).
BROKEN = {
    "gap": (edit_catalogue("EXEnaam11=MOZILLA\r\nEVersie11=\r\nEIntern11=NA\r\nEExtern11",
                           "EXEnaam12=MOZILLA\r\nEVersie12=\r\nEIntern12=NA\r\nEExtern12"),
            "entry-after-gap", "intface/browsers.ini", "EXEnaam12="),
    "placeholder": (edit(TEMPLATE, "<!--INTFACEY-->", "<!--intfacey-->"), "placeholder-case",
                    "intface/template.htm", "<!--intfacey-->"),
    "lower case": (edit_catalogue("Voorkeur=NN3 IE3 NN4 IE4 IE5 IE6", "Voorkeur=NN3 IE3 NN4 IE4 IE5 IE6 ie7"),
                   "preference-lowercase", "intface/browsers.ini", "Voorkeur="),
    "size": (edit_catalogue("ExtraW=30", "ExtraW=30px"), "size-not-number", "intface/browsers.ini",
             "ExtraW=30px"),
    "page": (remove("intface/frame.htm"), "missing-file", "intface/frame.htm", None),
    "old launcher": (replace_launcher("stub_browser"), "launcher-version", "TARVO32.EXE", None),
    "autorun's icon": (edit("autorun.inf", "icon=tarvo32.exe", "icon=lumora.ico,0"), "autorun-icon", "autorun.inf",
                       "icon="),
    # Wine's profile lookup drops the mark (the bytes of "\xef\xbb\xbf") that
    # hides [autorun] from Windows.
    "autorun's UTF-8 mark": (edit("autorun.inf", "[autorun]", "\xef\xbb\xbf[autorun]"), "autorun-bom", "autorun.inf",
                             "[autorun]"),
}


class CheckScenarios(unittest.TestCase):
    def test_the_sample_disc_is_clean(self):
        self.assertEqual(check(sample_disc()), (0, "No findings.\n", ""))

    def test_each_broken_master_gives_its_finding(self):
        for what, (change, code, file, line_text) in BROKEN.items():
            with self.subTest(what), tempfile.TemporaryDirectory() as folder:
                master = Path(folder) / "master"
                shutil.copytree(sample_disc(), master)
                change(master)
                line = line_number(master, Path(file), line_text) if line_text else 0
                status, output, errors = check("--json", master)
                self.assertEqual(status, 1, errors)
                findings = [(finding["code"], finding["file"], finding["line"])
                            for finding in json.loads(output)["findings"]]
                self.assertEqual(findings, [(code, file, line)])

    def test_findings_name_paths_below_the_master(self):
        with tempfile.TemporaryDirectory() as folder:
            master = Path(folder) / "master"
            shutil.copytree(sample_disc(), master)
            edit_catalogue("Versie=14", "Versie=veertien")(master)
            status, output, _ = check(master)
            self.assertEqual(status, 1)
            self.assertEqual(output.splitlines()[0].partition(" is no number")[0],
                             f"{master}/intface/browsers.ini:17: catalogue-version: Versie \"veertien\"")
            self.assertEqual(output.splitlines()[1:], ["1 finding."])

    def test_identify_says_what_the_launcher_logs(self):
        browsers = {"demo_browser": "C:\\Browsers\\IE6\\iexplore.exe",
                    "stub_explorer": "C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE",
                    "stub_navigator": "C:\\Netscape\\Program\\netscape.exe"}
        for stub, path in browsers.items():
            with self.subTest(stub):
                scenario = Scenario(f"{short_name(self.id())}_{stub}", disc=sample_disc())
                scenario.add_stub_browser(path, stub)
                scenario.associate_htm(path)
                log = scenario.run(["/DEBUG"]).log.decode("cp1252").split("\r\n")
                entries = [line.rpartition(" = ")[2] for line in log if line.startswith("xxx GBN: BrowserCount")]
                codes = [line.rpartition(" = ")[2] for line in log if line.startswith("xxx GBN: Browser =")]
                windows = [match.groups() for match in map(WINDOW.fullmatch, log) if match]
                result = scenario.run_console(settings().tarvo32.parent / "tarvo-check.exe",
                                              ["identify", path, "--master", "D:\\"])
                self.assertEqual(result.returncode, 0, result.stderr)
                said = dict(line.split(": ", 1) for line in result.stdout.decode("cp1252").splitlines())
                self.assertEqual(said["entry"].partition(" ")[0], entries[-1])
                self.assertEqual(said["code"], codes[-1])
                self.assertEqual(said["window"], "{} x {} pixels".format(*windows[-1]))

    def test_log_reads_back_the_log_a_run_just_wrote(self):
        # HTML files open in a browser the catalogue does not know, and drive
        # C: holds no better one: the run keeps its log for the helpdesk.
        scenario = Scenario(short_name(self.id()), disc=sample_disc())
        scenario.remove_wine_iexplore()
        browser = "C:\\Browsers\\Webkijker\\webkijk.exe"
        scenario.add_stub_browser(browser)
        scenario.associate_htm(browser)
        log = scenario.run().log
        self.assertIsNotNone(log, "the run kept no log")
        codes = ["browser-unknown", "launch-failed"]

        checker = settings().tarvo32.parent / "tarvo-check.exe"
        text = scenario.run_console(checker, ["log", LOG_FILE])
        self.assertEqual(text.returncode, 1, text.stderr)
        said = text.stdout.decode("cp1252").replace("\r\n", "\n")
        self.assertTrue(said.startswith(LOG_FILE + ": a launcher log\n"), said)
        self.assertIn("\n1. browser-unknown, lines ", said)
        self.assertIn("\n2. launch-failed, lines ", said)
        self.assertTrue(said.endswith("\n2 findings.\n"), said)

        result = scenario.run_console(checker, ["log", "--json", LOG_FILE])
        self.assertEqual(result.returncode, 1, result.stderr)
        reading = json.loads(result.stdout.decode("cp1252"))
        self.assertEqual([finding["code"] for finding in reading["findings"]], codes)
        self.assertEqual(reading["run"]["browser"]["registered_browser"], browser)
        self.assertEqual(reading["run"]["browser"]["code"], "ONB")
        self.assertEqual(reading["run"]["search"]["result"], "no better browser")
        self.assertEqual(reading["run"]["launch"]["started"], "no")
        self.assertEqual(reading["log"]["ending"], "complete")
        lines = log.decode("cp1252").split("\r\n")
        for finding in reading["findings"]:
            for line in finding["lines"]:
                self.assertEqual(line["text"], lines[line["number"] - 1])

        # The same log on Linux, as the helpdesk gets it by mail.
        with tempfile.TemporaryDirectory() as folder:
            mailed = Path(folder) / "lmrstart.log"
            mailed.write_bytes(log)
            status, output, errors = check("log", "--json", mailed)
            self.assertEqual(status, 1, errors)
            self.assertEqual(json.loads(output), {**reading, "file": str(mailed)})

        # A mailbox of them: the file, a mail a mail program saved with the log
        # attached, one with the log pasted in, and a note, in folders.
        with tempfile.TemporaryDirectory() as folder:
            mailbox = Path(folder) / "postvak"
            (mailbox / "jan").mkdir(parents=True)
            (mailbox / "jan" / "LMRSTART.LOG").write_bytes(log)
            (mailbox / "piet.eml").write_bytes(mail(log, attached=True))
            (mailbox / "oud" / "klaas.EML").parent.mkdir()
            (mailbox / "oud" / "klaas.EML").write_bytes(mail(log, attached=False))
            (mailbox / "oud" / "terug").symlink_to("..")  # a circle, passed over
            (mailbox / "notitie.txt").write_bytes(b"Jan terugbellen.\r\n")
            status, output, errors = check("log", mailbox)
            self.assertEqual(status, 1, errors)
            told = "the browser could not be started; " + ", ".join(codes)
            self.assertEqual(output.splitlines()[:5], [
                f"{mailbox}/jan/LMRSTART.LOG: {told}",
                f"{mailbox}/notitie.txt: is not a launcher log: none of its lines is one the launcher writes",
                f"{mailbox}/oud/klaas.EML: {told}",
                f"{mailbox}/piet.eml: {told}",
                ""])
            self.assertIn("\n4 files: 3 logs, 1 file that is no log, 3 logs with findings.\n", output)
            self.assertIn("\nbrowsers HTML files open in:\n  webkijk.exe", output)

            status, output, errors = check("log", "--json", mailbox / "piet.eml", mailbox / "notitie.txt")
            self.assertEqual(status, 1, errors)
            both = json.loads(output)
            self.assertEqual([log["file"] for log in both["logs"]],
                             [str(mailbox / "piet.eml"), str(mailbox / "notitie.txt")])
            self.assertEqual(both["logs"][0]["log"]["taken_from"], "the file LMRSTART.LOG attached to it")
            self.assertEqual(both["summary"]["findings"], {code: 1 for code in codes})
            self.assertEqual((both["summary"]["logs"], both["summary"]["no_logs"]), (1, 1))


def mail(log, attached):
    """A mail as a mail program saves it, the log attached or pasted in."""
    message = EmailMessage()
    message["From"], message["To"], message["Subject"] = "jan@example.nl", "helpdesk@lumora.nl", "cd-rom"
    if attached:
        message.set_content("Zie de bijlage.")
        message.add_attachment(log, maintype="application", subtype="octet-stream", filename="LMRSTART.LOG")
    else:
        message.set_content("Hier is het:\n\n" + log.decode("cp1252").replace("\r\n", "\n"), cte="quoted-printable")
    return message.as_bytes(policy=email.policy.SMTP)


if __name__ == "__main__":
    unittest.main()
