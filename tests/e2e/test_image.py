"""scripts/make-image's own part, tools/image/make_image.py: the built
sample disc becomes an image that, read back and mapped as drive D: with
the image's label, runs the launcher as the folder does; a master the image
cannot take, one with findings or too big for a CD, an image that reads back
otherwise than its master and a run stopped by a signal leave no image and
an earlier one alone."""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
from dataclasses import dataclass
from pathlib import Path
from typing import Callable, Optional

from harness import disc_image
from harness.scenario import CD_LABEL, Scenario, short_name
from harness.wine import as_wine_user, hand_over
from launcher_log import start_page_lines
from test_check import TOOL_TIMEOUT_SECONDS, run_tool, sample_disc, tool_command

MAKE_IMAGE = Path(__file__).resolve().parents[2] / "tools" / "image" / "make_image.py"
IE6 = "C:\\Browsers\\IE6\\iexplore.exe"
OLD_IMAGE = b"an image made before"
SYSTEM_PATH = "/usr/local/bin:/usr/bin:/bin"
# More than the 737,280,000 bytes of an 80-minute CD, in a file with no data
# on the disk.
SPARSE_BYTES = 800_000_000
# Paths below the master of 120 characters, the most Joliet takes, and 121.
LONG_FOLDER = "documentatie/handleidingen bij de software op deze cover-cd van september/"
LONGEST_PATH = LONG_FOLDER + "hoofdstuk 3 - het programma installeren, 1.htm"
TOO_LONG_PATH = LONG_FOLDER + "hoofdstuk 3 - het programma installeren (1).htm"
# xorriso as a row wants it when it writes the image, else itself.
FAKE_XORRISO = """#!{python}
import os, subprocess, sys, time
real, arguments = {real!r}, sys.argv[1:]
if "-commit" in arguments:
    at = arguments.index("-commit")
    {commit}
os.execv(real, [real, *arguments])
"""


def make_image(*arguments):
    """make-image's exit status, output and errors."""
    return run_tool(MAKE_IMAGE, *arguments)


def started(arguments, environment=(), python=sys.executable, **options):
    """make-image started by `python` on `arguments`, with `environment`'s
    values set; `options` go to subprocess.Popen."""
    command, base = tool_command(MAKE_IMAGE, *arguments)
    return subprocess.Popen([python, *command[1:]], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                            env={**base, **dict(environment)}, **options)


def finished(process):
    output, errors = process.communicate(timeout=TOOL_TIMEOUT_SECONDS)
    return process.returncode, output, errors


def fake_xorriso(folder, commit):
    """A folder holding the fake xorriso that runs `commit` (Python, with
    `arguments` and `at`, the place of -commit) before it writes."""
    bin_folder = folder / "bin"
    bin_folder.mkdir()
    script = bin_folder / "xorriso"
    script.write_text(FAKE_XORRISO.format(python=sys.executable, real=shutil.which("xorriso"), commit=commit))
    script.chmod(0o755)
    return bin_folder


def with_xorriso(*commands):
    """make-image whose xorriso gets the `commands` just before it writes."""
    def run(master, image, *options):
        bin_folder = fake_xorriso(image.parent.parent, f"arguments[at:at] = {list(commands)!r}")
        return finished(started([master, image, *options], {"PATH": f"{bin_folder}:{os.environ['PATH']}"}))
    return run


def without_xorriso(master, image, *options):
    empty = image.parent.parent / "empty"
    empty.mkdir()
    return finished(started([master, image, *options], {"PATH": str(empty)}))


def stopped_by(number):
    """make-image sent the signal `number` while its xorriso, the image
    written, waits (and says so by the file "written" beside it)."""
    def run(master, image, *options):
        bin_folder = fake_xorriso(image.parent.parent, "subprocess.run([real, *arguments]); "
                                  "open(os.path.join(os.path.dirname(__file__), 'written'), 'w').close(); "
                                  f"time.sleep({TOOL_TIMEOUT_SECONDS})")
        process = started([master, image, *options], {"PATH": f"{bin_folder}:{os.environ['PATH']}"})
        deadline = time.monotonic() + TOOL_TIMEOUT_SECONDS
        while not (bin_folder / "written").exists() and process.poll() is None and time.monotonic() < deadline:
            time.sleep(0.1)
        if not list(image.parent.glob(f".{image.name}.*/{image.name}")):
            process.kill()
            raise AssertionError(f"no half-made image to stop at: {finished(process)}")
        process.send_signal(number)
        return finished(process)
    return run


def as_unprivileged(master, image, *options):
    """make-image run by the Wine user, who reads only what others may, with
    the system's Python (the test's own may live where only its owner goes)."""
    image.parent.parent.chmod(0o755)
    hand_over(image.parent)
    return finished(started([master, image, *options], {"PATH": SYSTEM_PATH},
                            shutil.which("python3", path=SYSTEM_PATH), **as_wine_user()))


def files_of(folder):
    """{path below `folder`: content} of every file."""
    return {path.relative_to(folder).as_posix(): path.read_bytes() for path in Path(folder).rglob("*")
            if path.is_file()}


def launcher_run(name, disc, label):
    """The launcher's /DEBUG run from `disc`, mapped with the label `label`,
    on a PC whose .htm files open in Internet Explorer 6."""
    scenario = Scenario(name, disc=disc, label=label)
    scenario.add_stub_browser(IE6, "demo_browser")
    scenario.associate_htm(IE6)
    return scenario.run(["/DEBUG"])


def sample_copy(change):
    def master(folder):
        copy = folder / "master"
        shutil.copytree(sample_disc(), copy)
        change(copy)
        return copy
    return master


def add_file(relative):
    def change(master):
        (master / relative).parent.mkdir(parents=True, exist_ok=True)
        (master / relative).write_bytes(b"<html></html>")
    return change


def without_autorun(master):
    (master / "autorun.inf").unlink()


def autorun(change):
    """autorun.inf's bytes made into `change` of them."""
    def edit(master):
        path = master / "autorun.inf"
        path.write_bytes(change(path.read_bytes()))
    return edit


def sparse_file(relative):
    def change(master):
        with open(master / relative, "wb") as file:
            file.truncate(SPARSE_BYTES)
    return change


def unreadable_file(relative):
    def change(master):
        add_file(relative)(master)
        (master / relative).chmod(0)
    return change


def link(relative, target):
    def change(master):
        (master / relative).symlink_to(target(master))
    return change


@dataclass
class Row:
    """A master, what make-image is given besides it, its exit status, a
    text of its output or errors, and the Joliet label of the image it makes
    (None: it makes none); where to make the image, given the folder of
    images, and how make-image runs."""
    master: Callable
    options: tuple = ()
    status: int = 0
    said: str = ""
    label: Optional[str] = None
    image: Callable = lambda images: images / "disc.iso"
    run: Callable = make_image


# Masters refused before the checker runs, and so without Wine.
REFUSED = {
    "no master": Row(lambda folder: folder / "nothing", (), 2, "nothing: no such folder", None),
    "a file for a master": Row(lambda folder: Path(shutil.copyfile(sample_disc() / "autorun.inf", folder / "a.inf")),
                               (), 2, "a.inf: not a folder", None),
    "a name too long for Joliet": Row(sample_copy(add_file("intface/" + "x" * 62 + ".htm")), (), 2,
                                      "x.htm: a name of 66 characters, more than the 64 Joliet takes", None),
    "a folder too deep": Row(sample_copy(add_file("intface/a/b/c/d/e/f/g/p.htm")), (), 2,
                             "intface/a/b/c/d/e/f/g: a folder deeper than the 8 levels ISO 9660 allows", None),
    "a path of 121 characters": Row(sample_copy(add_file(TOO_LONG_PATH)), (), 2,
                                    "a path of 121 characters, more than the 120 Joliet takes"),
    "names apart only in case": Row(sample_copy(lambda m: [add_file(f"intface/{name}")(m) for name in
                                                          ("LEES.TXT", "lees.txt")]), (), 2,
                                    "intface/lees.txt: differs from LEES.TXT only in case"),
    "hoofd.html beside hoofd.htm": Row(sample_copy(add_file("intface/hoofd.html")), (), 2,
                                       "intface/hoofd.html: its plain ISO 9660 name would be HOOFD.HTM"),
    "autorun.info beside autorun.inf": Row(sample_copy(add_file("autorun.info")), (), 2,
                                           "autorun.info: its plain ISO 9660 name would be AUTORUN.INF"),
    "a master over an 80-minute CD": Row(sample_copy(sparse_file("video.mpg")), (), 1,
                                         "no image made, because it fits on no CD (--force makes it anyway)"),
    "an image folder that cannot be written": Row(sample_copy(lambda master: None), (), 2,
                                                  "/proc/disc.iso: cannot write in /proc",
                                                  image=lambda images: Path("/proc/disc.iso")),
    "a master file the user cannot read": Row(sample_copy(unreadable_file("intface/geheim.htm")), (), 2,
                                              "intface/geheim.htm: cannot be read", run=as_unprivileged),
    "a link to the image's folder": Row(sample_copy(link("oud", lambda master: master.parent / "images")), (), 2,
                                        "oud: a link to"),
    "a link beside the folder it names": Row(sample_copy(link("a-link", lambda master: master / "intface")), (), 2,
                                             "a-link: a link to"),
    "no xorriso": Row(sample_copy(lambda master: None), (), 2, "xorriso: not installed", run=without_xorriso),
    "a name Windows does not take": Row(sample_copy(add_file("intface/a|b.htm")), (), 2,
                                        "intface/a|b.htm: a name with '|', which Windows does not take"),
    "a name ending in a dot": Row(sample_copy(add_file("intface/lees.")), (), 2,
                                  "intface/lees.: a name ending in a dot, which Windows drops"),
    "a device's name": Row(sample_copy(add_file("intface/con.htm")), (), 2,
                           "intface/con.htm: a name Windows keeps for the device CON"),
    "a label beyond UCS-2": Row(sample_copy(lambda master: None), ("--label", "Lumora \U0001F4BF"), 2,
                                "--label: a label with"),
    "a label of blanks, then text": Row(sample_copy(lambda master: None), ("--label", " " * 17 + "Lumora"), 2,
                                        "--label: a label that begins with a blank"),
    "autorun.inf in UTF-16": Row(sample_copy(autorun(lambda data: "\ufeff".encode("utf-16-le") +
                                                     data.decode("cp1252").encode("utf-16-le"))),
                                 (), 2, "autorun.inf: UTF-16 text"),
    "autorun.inf with a UTF-8 mark": Row(sample_copy(autorun(lambda data: b"\xef\xbb\xbf" + data)), (), 2,
                                         "autorun.inf: a UTF-8 byte-order mark"),
    "autorun.inf in UTF-8": Row(sample_copy(autorun(lambda data: data.replace(b"2003", "café".encode("utf-8")))),
                                (), 2,
                                "autorun.inf: UTF-8 text, which Windows reads as Windows-1252 "
                                "('label=Lumora cover-cd september cafÃ©')"),
}

# Masters the checker sees.
MASTERS = {
    "findings": Row(sample_copy(without_autorun), (), 1,
                    "no image made, because of these findings (--force makes it anyway)", None),
    "findings, forced, labelled by the folder's name": Row(
        sample_copy(without_autorun), ("--force",), 0, "making the image anyway, as --force asks", "master"),
    "a label given": Row(sample_copy(lambda master: None), ("--label", "Nummer 9, 2003 extra"), 0,
                         "  ISO 9660: NUMMER_9__2003_EXTRA", "Nummer 9, 2003 e"),
    "a path of 120 characters, the most Joliet takes": Row(
        sample_copy(add_file(LONGEST_PATH)), (), 0, "Files: 10", "Lumora cover-cd"),
    "SIGTERM while the image is written": Row(sample_copy(lambda master: None), (), 128 + signal.SIGTERM,
                                              "stopped by SIGTERM; no image made", run=stopped_by(signal.SIGTERM)),
    "SIGINT while the image is written": Row(sample_copy(lambda master: None), (), 128 + signal.SIGINT,
                                             "stopped by SIGINT; no image made", run=stopped_by(signal.SIGINT)),
    "xorriso warns of a file it leaves out of Joliet": Row(
        sample_copy(lambda master: None), (), 2, "can't be added to Joliet tree",
        run=with_xorriso("-map", str(MAKE_IMAGE), "/" + TOO_LONG_PATH)),
    "the image read back holds less than the master": Row(
        sample_copy(lambda master: None), (), 2, "intface/frame.htm: not in the image's Joliet names",
        run=with_xorriso("-rm", "/intface/frame.htm", "--")),
}


class ImageScenarios(unittest.TestCase):
    def test_the_sample_discs_image_runs_the_launcher_as_the_folder_does(self):
        with tempfile.TemporaryDirectory() as folder:
            image = Path(folder) / "sample.iso"
            status, output, errors = make_image(sample_disc(), image)
            self.assertEqual(status, 0, errors)
            self.assertEqual(os.listdir(folder), ["sample.iso"])
            for line in ("No findings.", "  ISO 9660: LUMORA_COVER_CD_SEPTEMBER_2003",
                         '  Joliet:   "Lumora cover-cd" (the label Windows shows)', "Files: 9"):
                self.assertIn(line, output.splitlines())
            size = image.stat().st_size
            self.assertIn(f"Size: {size} bytes ({size / 2 ** 20:.1f} MiB), with the 300 KiB of padding at its end "
                          "that xorriso adds for drives that read ahead", output.splitlines())

            contents = Path(folder) / "contents"
            disc_image.extract(image, contents)
            self.assertEqual(files_of(contents), files_of(sample_disc()))
            self.assertEqual(sorted(disc_image.iso_names(image)),
                             sorted("/" + path.relative_to(contents).as_posix().upper()
                                    for path in contents.rglob("*")))
            label = disc_image.iso_label(image), disc_image.joliet_label(image)
            self.assertEqual(label, ("LUMORA_COVER_CD_SEPTEMBER_2003", "Lumora cover-cd"))

            name = short_name(self.id())
            from_folder = launcher_run(f"{name}_folder", sample_disc(), CD_LABEL)
            from_image = launcher_run(f"{name}_image", contents, label[1])
        folder_log, image_log = (run.log.decode("cp1252").split("\r\n") for run in (from_folder, from_image))
        volume_line = "104: (volumelabel = {})".format
        self.assertIn(volume_line(label[1]), image_log)
        self.assertEqual([volume_line(CD_LABEL) if line == volume_line(label[1]) else line for line in image_log],
                         folder_log)
        page_lines, page = start_page_lines("D:\\", "IE6")
        self.assertEqual(image_log[-len(page_lines) - 5:],
                         [*page_lines, f"407: BrowserPad = {IE6}", f"408: OpenHTMLdoc = {page}", "", "", ""])
        self.assertEqual([start.command_line.decode("cp1252") for start in from_image.browser_starts],
                         [f"{IE6} {page}"])

    def test_a_master_the_image_cannot_take_gets_none_before_the_checker_runs(self):
        self.check_masters(REFUSED)

    def test_a_master_gets_an_image_only_when_whole_and_checked(self):
        self.check_masters(MASTERS)

    def check_masters(self, masters):
        for what, row in masters.items():
            with self.subTest(what), tempfile.TemporaryDirectory() as folder:
                master = row.master(Path(folder))
                images = Path(folder) / "images"
                images.mkdir()
                image = images / "disc.iso"
                image.write_bytes(OLD_IMAGE)
                result = row.run(master, row.image(images), *row.options)
                self.assertEqual(result[0], row.status, result)
                self.assertIn(row.said, result[1] + result[2])
                self.assertEqual(os.listdir(images), ["disc.iso"])
                if row.label is not None:
                    self.assertEqual(disc_image.joliet_label(image), row.label)
                else:
                    self.assertEqual(image.read_bytes(), OLD_IMAGE)
                self.assertEqual("Checking " in result[1], masters is MASTERS)
                # Bad input, or a signal: one line, and no image announced.
                if row.status >= 2:
                    self.assertEqual(result[2].count("\n"), 1, result)
                    self.assertNotIn("NOTE", result[2])
                    self.assertNotIn("Image:", result[1])


if __name__ == "__main__":
    unittest.main()
