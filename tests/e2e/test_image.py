"""scripts/make-image's own part, tools/image/make_image.py: the built
sample disc becomes an image that, read back and mapped as drive D: with
the image's label, runs the launcher as the folder does; a master the image
cannot take, or one with findings, gets no image and leaves an earlier one
alone."""

import os
import shutil
import tempfile
import unittest
from pathlib import Path

from harness import disc_image
from harness.scenario import CD_LABEL, Scenario, short_name
from launcher_log import start_page_lines
from test_check import run_tool, sample_disc

MAKE_IMAGE = Path(__file__).resolve().parents[2] / "tools" / "image" / "make_image.py"
IE6 = "C:\\Browsers\\IE6\\iexplore.exe"
OLD_IMAGE = b"an image made before"


def make_image(*arguments):
    """make-image's exit status, output and errors."""
    return run_tool(MAKE_IMAGE, *arguments)


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


# A master, what make-image is given besides it, its exit status, a text
# of its output or errors, and the Joliet label of the image it makes
# (None: it makes none).
MASTERS = {
    "no master": (lambda folder: folder / "nothing", (), 2, "nothing: no such folder", None),
    "a file for a master": (lambda folder: Path(shutil.copyfile(sample_disc() / "autorun.inf", folder / "a.inf")),
                            (), 2, "a.inf: not a folder", None),
    "a name too long for Joliet": (sample_copy(add_file("intface/" + "x" * 62 + ".htm")), (), 2,
                                   "x.htm: a name of 66 characters, more than the 64 Joliet takes", None),
    "a folder too deep": (sample_copy(add_file("intface/a/b/c/d/e/f/g/p.htm")), (), 2,
                          "intface/a/b/c/d/e/f/g: a folder deeper than the 8 levels ISO 9660 allows", None),
    "findings": (sample_copy(without_autorun), (), 1,
                 "no image made, because of these findings (--force makes it anyway)", None),
    "findings, forced, labelled by the folder's name": (
        sample_copy(without_autorun), ("--force",), 0, "making the image anyway, as --force asks", "master"),
    "a label given": (sample_copy(lambda master: None), ("--label", "Nummer 9, 2003 extra"), 0,
                      "  ISO 9660: NUMMER_9__2003_EXTRA", "Nummer 9, 2003 e"),
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

    def test_a_master_gets_an_image_only_when_whole_and_checked(self):
        for what, (master_of, options, status, said, label) in MASTERS.items():
            with self.subTest(what), tempfile.TemporaryDirectory() as folder:
                master = master_of(Path(folder))
                images = Path(folder) / "images"
                images.mkdir()
                image = images / "disc.iso"
                image.write_bytes(OLD_IMAGE)
                result = make_image(master, image, *options)
                self.assertEqual(result[0], status, result)
                self.assertIn(said, result[1] + result[2])
                self.assertEqual(os.listdir(images), ["disc.iso"])
                if label is not None:
                    self.assertEqual(disc_image.joliet_label(image), label)
                else:
                    self.assertEqual(image.read_bytes(), OLD_IMAGE)
                if status == 2:
                    self.assertEqual((result[1], result[2].count("\n")), ("", 1))


if __name__ == "__main__":
    unittest.main()
