#!/usr/bin/env python3
"""Makes the ISO 9660 image of a disc master, for the pressing plant:

  scripts/make-image MASTER IMAGE.iso [--label LABEL] [--force]

tarvo-check checks the master first; with findings no image is made, unless
--force says to make it anyway. The image holds plain ISO 9660 names (level
1: 8.3, in capitals) for the oldest readers and Joliet names, as Windows 95
and later show them. Its label is LABEL, else the label= of the master's
autorun.inf, else the master folder's name. A master the image cannot take
(a name too long for Joliet, a folder deeper than ISO 9660 allows) stops it
with exit status 2; the image is written under a temporary name and renamed
only when whole. scripts/make-image builds the checker, then runs this file
with --build.
"""

import argparse
import os
import shutil
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tests" / "e2e"))
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "check"))

from harness import disc_image  # noqa: E402
from tarvo_check import check  # noqa: E402

MADE, FINDINGS, BAD_INPUT = 0, 1, 2
CHECK_CLEAN, CHECK_FINDINGS = 0, 1
AUTORUN = "autorun.inf"
JOLIET_NAME_LENGTH = 64
JOLIET_PATH_LENGTH = 240
# ISO 9660 takes eight levels of folders, the root being the first.
ISO_FOLDER_LEVELS = 8
JOLIET_FORBIDDEN = frozenset('*/:;?\\')
LARGEST_FILE = 2 ** 32 - 1  # level 1 keeps a file in one extent
SECTORS_PER_MINUTE = 75 * 60
CDS = {"a 74-minute CD": 74, "an 80-minute CD": 80}


class BadInput(Exception):
    """A master or image path the image cannot be made from; the message
    names the file."""


def name_problem(name):
    """Why Joliet cannot take the name `name`, or None."""
    try:
        name.encode("utf-8")
    except UnicodeEncodeError:
        return "a name that is not UTF-8"
    if len(name.encode("utf-16-be")) > 2 * JOLIET_NAME_LENGTH:
        return f"a name of {len(name)} characters, more than the {JOLIET_NAME_LENGTH} Joliet takes"
    forbidden = sorted(set(name) & JOLIET_FORBIDDEN) + [c for c in name if ord(c) < 32 or ord(c) > 0xFFFF]
    if forbidden:
        return f"a name with {forbidden[0]!r}, which Joliet does not take"
    return None


def entry_problem(path, relative):
    """Why the image cannot take the file or folder `path` (`relative` to
    the master), or None."""
    problem = name_problem(path.name)
    if problem:
        return problem
    if len(str(relative)) + 1 > JOLIET_PATH_LENGTH:
        return f"a path longer than the {JOLIET_PATH_LENGTH} characters Joliet takes"
    if not path.exists():
        return "a link to nothing"
    if path.is_dir():
        if len(relative.parts) + 1 > ISO_FOLDER_LEVELS:
            return f"a folder deeper than the {ISO_FOLDER_LEVELS} levels ISO 9660 allows (the root counts as one)"
        return None
    if not path.is_file():
        return "neither a file nor a folder"
    if path.stat().st_size > LARGEST_FILE:
        return f"a file of {path.stat().st_size} bytes, more than ISO 9660 level 1 takes ({LARGEST_FILE})"
    return None


def master_files(master):
    """The files of `master`, after checking that the image can take each
    of them and their folders."""
    files, folders = [], set()
    for folder, dirs, names in os.walk(master, followlinks=True):
        if os.path.realpath(folder) in folders:
            raise BadInput(f"{folder}: a link to a folder the master already holds")
        folders.add(os.path.realpath(folder))
        dirs.sort()
        for name in sorted(dirs + names):
            path = Path(folder) / name
            relative = path.relative_to(master)
            problem = entry_problem(path, relative)
            if problem:
                raise BadInput(f"{path}: {problem}")
            if name in names:
                files.append(relative)
    return files


def check_paths(master, image):
    if not master.exists():
        raise BadInput(f"{master}: no such folder")
    if not master.is_dir():
        raise BadInput(f"{master}: not a folder")
    if not image.parent.is_dir():
        raise BadInput(f"{image}: no folder {image.parent} to write it in")
    if image.is_dir():
        raise BadInput(f"{image}: a folder, not an image file")
    if image.resolve().is_relative_to(master.resolve()):
        raise BadInput(f"{image}: inside the master, so it would hold itself")


def autorun_label(master):
    """The label= of the master's autorun.inf as Windows reads it: in the
    first [autorun] section, names in any case, blanks and one pair of
    quotes around the value dropped; None without one."""
    inf = next((path for path in master.iterdir() if path.name.lower() == AUTORUN and path.is_file()), None)
    if inf is None:
        return None
    section = None
    for line in inf.read_bytes().decode("cp1252", errors="replace").splitlines():
        line = line.strip()
        if line.startswith("[") and "]" in line:
            if section == "autorun":
                return None
            section = line[1:line.rindex("]")].strip().lower()
        elif section == "autorun" and "=" in line and not line.startswith(";"):
            key, _, value = line.partition("=")
            value = value.strip()
            if len(value) >= 2 and value[0] == value[-1] and value[0] in "\"'":
                value = value[1:-1]
            if key.strip().lower() == "label":
                return value or None
    return None


def chosen_label(master, given):
    """The disc's label and where it comes from."""
    if given is not None:
        if not given.strip():
            raise BadInput("--label: an empty label")
        return given, "--label"
    from_autorun = autorun_label(master)
    if from_autorun:
        return from_autorun, f"the label= of {AUTORUN}"
    return master.resolve().name, "the master folder's name"


def checked(build, work, master, force):
    """Runs tarvo-check on `master`; True when the image may be made."""
    print(f"Checking {master} with tarvo-check:", flush=True)
    status, output, errors = check(build, work, [str(master)])
    sys.stdout.write(output)
    sys.stderr.write(errors)
    if status == CHECK_CLEAN:
        return True
    if status != CHECK_FINDINGS:
        raise BadInput(f"{master}: tarvo-check could not check it (exit status {status})")
    if force:
        print("make-image: making the image anyway, as --force asks, despite these findings")
        return True
    print("make-image: no image made, because of these findings (--force makes it anyway)")
    return False


def write_image(master, image, iso_label, joliet_label):
    """Writes the image beside `image` and renames it once whole."""
    partial = Path(tempfile.mkdtemp(prefix=f".{image.name}.", dir=image.parent))
    try:
        written = partial / image.name
        disc_image.xorriso(
            "-outdev", f"stdio:{written}", "-volid", iso_label, "-joliet", "on", "-rockridge", "off",
            # Level 1 gives 8.3 names; the files' own times; one session, as pressed.
            "-compliance", "default:iso_9660_level=1:rec_mtime:no_emul_toc",
            "-follow", "link", "-map", str(master), "/", "-commit")
        disc_image.write_joliet_label(written, joliet_label)
        os.replace(written, image)
    finally:
        shutil.rmtree(partial, ignore_errors=True)


def fill_text(size):
    """How much of a CD of each length the image fills."""
    minutes = -(-size // disc_image.SECTOR_BYTES) / SECTORS_PER_MINUTE
    parts = []
    for cd, length in CDS.items():
        share = f"{100 * minutes / length:.1f} % of {cd}"
        parts.append(share + (" (too much: it does not fit)" if minutes > length else ""))
    return f"Fills {minutes:.1f} minutes: " + ", ".join(parts)


def make_image(build, work, master, image, label=None, force=False):
    """Checks `master` and makes `image` of it; the exit status."""
    check_paths(master, image)
    files = master_files(master)
    label, source = chosen_label(master, label)
    if not checked(build, work, master, force):
        return FINDINGS
    iso_label, joliet_label = disc_image.volume_labels(label)
    write_image(master, image, iso_label, joliet_label)
    size = image.stat().st_size
    print(f'Label: "{label}", from {source}')
    print(f"  ISO 9660: {iso_label}")
    print(f'  Joliet:   "{joliet_label}" (the label Windows shows)')
    print(f"Files: {len(files)}")
    print(f"Size: {size} bytes ({size / 2 ** 20:.1f} MiB)")
    print(fill_text(size))
    print(f"Image: {image}")
    return MADE


def parse_options():
    parser = argparse.ArgumentParser(prog="scripts/make-image", description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", type=Path, required=True,
                        help="the Windows preset's build folder, with tarvo-check.exe (scripts/make-image gives it)")
    parser.add_argument("--work", type=Path,
                        help="folder for the checker's Wine prefix (default: the checker's own per build folder)")
    parser.add_argument("master", type=Path, metavar="MASTER", help="the disc master folder")
    parser.add_argument("image", type=Path, metavar="IMAGE", help="the image file to make, such as disc.iso")
    parser.add_argument("--label", help="the disc's label (default: autorun.inf's label=, else MASTER's name)")
    parser.add_argument("--force", action="store_true", help="make the image despite the checker's findings")
    return parser.parse_args()


def main():
    options = parse_options()
    sys.stdout.reconfigure(errors="replace")
    try:
        return make_image(options.build.resolve(), options.work, options.master, options.image, options.label,
                          options.force)
    except (BadInput, disc_image.ImageError) as error:
        print(f"make-image: {error}", file=sys.stderr)
        return BAD_INPUT


if __name__ == "__main__":
    sys.exit(main())
