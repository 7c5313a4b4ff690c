#!/usr/bin/env python3
"""Makes the ISO 9660 image of a disc master, for the pressing plant:

  scripts/make-image MASTER IMAGE.iso [--label LABEL] [--force]

tarvo-check checks the master first; with findings, or for an image that
fits on no CD, no image is made unless --force says to make it anyway. The
image holds plain ISO 9660 names (level 1: 8.3, in capitals) for the oldest
readers and Joliet names, as Windows 95 and later show them. Its label is
LABEL, else the label= of the master's autorun.inf, else the master folder's
name. A master the image cannot take (a name Joliet or Windows does not
take, a path too long for Joliet, two names apart only in case, a name that
would push one the launcher needs out of the plain ISO 9660 names, a folder
deeper than ISO 9660 allows, a file that cannot be read) stops it with exit
status 2, as does an image that, read back, differs from the master. The
image is written under a temporary name and renamed only when whole and
checked. scripts/make-image builds the checker, then runs this file with
--build.
"""

import argparse
import contextlib
import os
import shutil
import signal
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tests" / "e2e"))
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "check"))

from autorun_inf import AUTORUN, autorun_file, autorun_values, encoding_problem, icon_file  # noqa: E402
from harness import disc_image  # noqa: E402
from master_names import BadInput, keeps_iso_name, launcher_files, master_files  # noqa: E402
from tarvo_check import check  # noqa: E402

MADE, FINDINGS, BAD_INPUT = 0, 1, 2
CHECK_CLEAN, CHECK_FINDINGS = 0, 1
SECTORS_PER_MINUTE = 75 * 60
CDS = {"a 74-minute CD": 74, "an 80-minute CD": 80}
# Blank sectors at the image's end, which old CD drives read ahead into.
PADDING_KIB = 300
STOPPING_SIGNALS = (signal.SIGTERM, signal.SIGINT)


class Stopped(Exception):
    """A signal that ends the run; the image's temporary folder goes."""

    def __init__(self, number):
        super().__init__(signal.Signals(number).name)
        self.number = number


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


def needed_names(master):
    """The paths from the root whose plain ISO 9660 names the disc needs as
    they are: the launcher's files, autorun.inf and its icon, where 8.3."""
    needed = [*launcher_files(), AUTORUN]
    inf = autorun_file(master)
    icon = icon_file(autorun_values(inf).get("icon", "")) if inf else ""
    if icon and keeps_iso_name(icon):
        needed.append(icon.lower())
    return needed


def label_problem(label):
    if not label.strip():
        return "an empty label"
    if label[0].isspace():
        return f"a label that begins with a blank ({label!r}): the Joliet label Windows shows would keep it"
    beyond = [c for c in label if ord(c) > 0xFFFF or ord(c) < 32]
    if beyond:
        return f"a label with {beyond[0]!r}, which a Joliet label (UCS-2, no control characters) does not take"
    return None


def autorun_label(master):
    """The label= of the master's autorun.inf, "" without one."""
    inf = autorun_file(master)
    if inf is None:
        return ""
    problem = encoding_problem(inf.read_bytes())
    if problem:
        raise BadInput(f"{inf}: {problem}; save it as Windows-1252 (ANSI), or give the label with --label")
    return autorun_values(inf).get("label", "")


def chosen_label(master, given):
    """The disc's label and where it comes from."""
    if given is not None:
        label, source = given, "--label"
    else:
        label, source = autorun_label(master), f"the label= of {AUTORUN}"
        if not label:
            label, source = master.resolve().name, "the master folder's name"
    problem = label_problem(label)
    if problem:
        raise BadInput(f"{source}: {problem}")
    return label, source


@contextlib.contextmanager
def partial_folder(image):
    """A hidden folder beside `image` to write it in, gone afterwards
    whatever happens; making it shows that the image's folder takes files."""
    try:
        partial = Path(tempfile.mkdtemp(prefix=f".{image.name}.", dir=image.parent))
    except OSError as error:
        raise BadInput(f"{image}: cannot write in {image.parent} ({error.strerror})") from None
    try:
        yield partial
    finally:
        shutil.rmtree(partial, ignore_errors=True)


def writing(master, outdev, iso_label):
    """xorriso's arguments that write the image of `master` to `outdev`,
    stopping at its first warning."""
    return ["-abort_on", "WARNING", "-return_with", "WARNING", "32",
            "-outdev", f"stdio:{outdev}", "-volid", iso_label, "-joliet", "on", "-rockridge", "off",
            # Level 1 gives 8.3 names; the files' own times; one session, as pressed.
            "-compliance", "default:iso_9660_level=1:rec_mtime:no_emul_toc", "-padding", f"{PADDING_KIB}k",
            "-follow", "link", "-map", str(master), "/"]


def fill_text(size):
    """How much of a CD of each length the image fills."""
    minutes = -(-size // disc_image.SECTOR_BYTES) / SECTORS_PER_MINUTE
    parts = []
    for cd, length in CDS.items():
        share = f"{100 * minutes / length:.1f} % of {cd}"
        parts.append(share + (" (too much: it does not fit)" if minutes > length else ""))
    return f"Fills {minutes:.1f} minutes, padding included: " + ", ".join(parts)


def fits_on_a_cd(size):
    return -(-size // disc_image.SECTOR_BYTES) <= max(CDS.values()) * SECTORS_PER_MINUTE


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


def read_back(image, master, files, needed):
    """Checks the written `image` against `master`'s `files` ({path: size}):
    the same Joliet names and sizes, the same data, and the plain ISO 9660
    names of `needed` unchanged."""
    held = disc_image.joliet_files(image)
    for path, size in files.items():
        if path not in held:
            raise BadInput(f"{master / path}: not in the image's Joliet names, which Windows shows")
        if held[path] != size:
            raise BadInput(f"{master / path}: {held[path]} bytes in the image, {size} in the master")
    for path in sorted(set(held) - set(files)):
        raise BadInput(f"{image}: holds /{path}, which the master does not")
    for path in disc_image.differing_files(image, master):
        raise BadInput(f"{master / path}: the image holds other data")
    iso_names = set(disc_image.iso_names(image))
    for path in sorted(files):
        if path.lower() in needed and "/" + path.upper() not in iso_names:
            raise BadInput(f"{master / path}: not in the image's plain ISO 9660 names as /{path.upper()}")


def make_image(build, work, master, image, label=None, force=False):
    """Checks `master` and makes `image` of it; the exit status."""
    check_paths(master, image)
    disc_image.require_xorriso()
    needed = needed_names(master)
    files = master_files(master, image, needed)
    label, source = chosen_label(master, label)
    iso_label, joliet_label = disc_image.volume_labels(label)
    with partial_folder(image) as partial:
        written = partial / image.name
        size = disc_image.image_size(*writing(master, written, iso_label))
        if not fits_on_a_cd(size):
            print(fill_text(size))
            if not force:
                print("make-image: no image made, because it fits on no CD (--force makes it anyway)")
                return FINDINGS
            print("make-image: making the image anyway, as --force asks, though it fits on no CD")
        if not checked(build, work, master, force):
            return FINDINGS
        disc_image.xorriso(*writing(master, written, iso_label), "-commit")
        disc_image.write_joliet_label(written, joliet_label)
        read_back(written, master, files, set(needed))
        os.replace(written, image)
    print(f'Label: "{label}", from {source}')
    print(f"  ISO 9660: {iso_label}")
    print(f'  Joliet:   "{joliet_label}" (the label Windows shows)')
    print(f"Files: {len(files)}")
    print(f"Size: {size} bytes ({size / 2 ** 20:.1f} MiB), with the {PADDING_KIB} KiB of padding at its end that "
          "xorriso adds for drives that read ahead")
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
    parser.add_argument("--force", action="store_true",
                        help="make the image despite the checker's findings, or one that fits on no CD")
    return parser.parse_args()


def stop(number, _):
    raise Stopped(number)


def main():
    options = parse_options()
    sys.stdout.reconfigure(errors="replace")
    for number in STOPPING_SIGNALS:
        signal.signal(number, stop)
    try:
        return make_image(options.build.resolve(), options.work, options.master, options.image, options.label,
                          options.force)
    except (BadInput, disc_image.ImageError) as error:
        print(f"make-image: {error}", file=sys.stderr)
        return BAD_INPUT
    except Stopped as stopped:
        print(f"make-image: stopped by {stopped}; no image made", file=sys.stderr)
        return 128 + stopped.number


if __name__ == "__main__":
    sys.exit(main())
