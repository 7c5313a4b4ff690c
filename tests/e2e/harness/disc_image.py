"""ISO 9660 disc images with Joliet names, made and read with xorriso: the
two volume labels a disc carries, and an image read back (its files, its
Joliet and plain ISO 9660 names, its content against a folder).

A disc has two labels. The primary volume descriptor holds the plain ISO
9660 one: up to 32 of A-Z, 0-9 and "_". The Joliet descriptor holds the one
Windows shows and GetVolumeInformation returns: up to 16 characters of any
kind. xorriso sets both from one text (the Joliet one being its first 16
characters), so the Joliet label is written into its descriptor afterwards.
"""

import os
import re
import shlex
import shutil
import stat
import subprocess
from pathlib import Path, PurePosixPath

XORRISO = "xorriso"
SECTOR_BYTES = 2048
FIRST_DESCRIPTOR = 16  # the sector of the first volume descriptor
PRIMARY, SUPPLEMENTARY, TERMINATOR = 1, 2, 255
DESCRIPTOR_MAGIC = slice(1, 6)
VOLUME_ID = slice(40, 72)
ESCAPES = slice(88, 91)
JOLIET_ESCAPES = (b"%/@", b"%/C", b"%/E")  # UCS-2 levels 1 to 3
ISO_LABEL_LENGTH = 32
JOLIET_LABEL_LENGTH = 16
ISO_LABEL_CHARACTERS = frozenset("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_")
# Names pass to xorriso as UTF-8 whatever the locale says.
CHARSET = ("-local_charset", "UTF-8")
# What xorriso and its libraries say at WARNING or worse; NOTE, UPDATE and
# the like are talk. Reading, the Joliet tree is the one Windows shows.
PROBLEM = re.compile(r"^(?:xorriso|libisofs|libburn)\s*: (?:WARNING|SORRY|MISHAP|FAILURE|FATAL|ABORT) : (.*)")
READ_JOLIET = ("-read_fs", "norock")
IMAGE_SIZE = re.compile(r"^Image size\s*:\s*(\d+)s\s*$", re.MULTILINE)
# A difference -compare_r finds in a file's data (its times and modes differ
# by design: the image holds neither).
DATA_DIFFERENCE = re.compile(r"^- ((?:'[^']*'|\"[^\"]*\")+) \(DISK\) : (?:content|CONTENT|st_size)\s*:", re.MULTILINE)


class ImageError(RuntimeError):
    pass


def volume_labels(label):
    """The plain ISO 9660 and the Joliet volume label of `label`."""
    iso = "".join(c if c in ISO_LABEL_CHARACTERS else "_" for c in label.upper())
    return iso[:ISO_LABEL_LENGTH], label[:JOLIET_LABEL_LENGTH].rstrip()


def require_xorriso():
    if shutil.which(XORRISO) is None:
        raise ImageError(f"{XORRISO}: not installed (scripts/setup installs it)")


def xorriso(*arguments):
    """Runs xorriso; raises ImageError with the first problem it told of
    when it fails."""
    require_xorriso()
    result = subprocess.run([XORRISO, *CHARSET, *arguments], capture_output=True, text=True, errors="replace")
    if result.returncode != 0:
        problems = [match[1] for match in map(PROBLEM.match, result.stderr.splitlines()) if match]
        if not problems:
            raise ImageError(f"xorriso failed: exit status {result.returncode}")
        more = f" (and {len(problems) - 1} more)" if len(problems) > 1 else ""
        raise ImageError(f"xorriso failed: {problems[0]}{more}")
    return result.stdout


def image_size(*arguments):
    """The size in bytes of the image that xorriso `arguments` (an -outdev
    and what goes in) would write, found without writing it."""
    said = xorriso(*arguments, "-print_size", "-rollback_end")
    found = IMAGE_SIZE.search(said)
    if found is None:
        raise ImageError(f"xorriso told no image size: {said.strip()!r}")
    return int(found[1]) * SECTOR_BYTES


def _descriptor(image, wanted):
    """(offset, bytes) of the first volume descriptor for which `wanted`
    holds."""
    with open(image, "rb") as file:
        for sector in range(FIRST_DESCRIPTOR, FIRST_DESCRIPTOR + 64):
            file.seek(sector * SECTOR_BYTES)
            descriptor = file.read(SECTOR_BYTES)
            if len(descriptor) < SECTOR_BYTES or descriptor[DESCRIPTOR_MAGIC] != b"CD001" \
                    or descriptor[0] == TERMINATOR:
                break
            if wanted(descriptor):
                return sector * SECTOR_BYTES, descriptor
    raise ImageError(f"{image}: no such volume descriptor")


def _joliet(descriptor):
    return descriptor[0] == SUPPLEMENTARY and descriptor[ESCAPES] in JOLIET_ESCAPES


def iso_label(image):
    _, descriptor = _descriptor(image, lambda descriptor: descriptor[0] == PRIMARY)
    return descriptor[VOLUME_ID].decode("ascii").rstrip(" ")


def joliet_label(image):
    _, descriptor = _descriptor(image, _joliet)
    return descriptor[VOLUME_ID].decode("utf-16-be").rstrip(" ")


def write_joliet_label(image, label):
    """Puts `label` (at most 16 characters) in the image's Joliet descriptor,
    padded with blanks as the format wants."""
    offset, _ = _descriptor(image, _joliet)
    field = label.ljust(JOLIET_LABEL_LENGTH).encode("utf-16-be")
    if len(field) != VOLUME_ID.stop - VOLUME_ID.start:
        raise ImageError(f"no Joliet label: {label!r}")
    with open(image, "r+b") as file:
        file.seek(offset + VOLUME_ID.start)
        file.write(field)


def extract(image, folder):
    """The image's files under their Joliet names into `folder`, which
    the caller may then change and remove (xorriso leaves them read-only)."""
    xorriso("-osirrox", "on", "-indev", str(image), "-extract", "/", str(folder))
    for parent, _, files in os.walk(folder):
        for path in [Path(parent), *(Path(parent) / name for name in files)]:
            path.chmod(stat.S_IMODE(path.stat().st_mode) | stat.S_IWUSR)


def iso_names(image):
    """The paths of the image's plain ISO 9660 names, as a reader without
    Joliet sees them ("/INTFACE/HOOFD.HTM")."""
    listing = xorriso("-read_fs", "ecma119", "-indev", str(image), "-find", "/")
    # ISO 9660 names hold no quotes, which xorriso puts around each path.
    return [line.strip("'") for line in listing.splitlines() if line.strip("'") != "/"]


def joliet_files(image):
    """{path: size} of the image's files under their Joliet names, the
    path relative to the root ("intface/hoofd.htm")."""
    listing = xorriso(*READ_JOLIET, "-indev", str(image), "-find", "/", "-type", "f", "-exec", "lsdl")
    files = {}
    for line in listing.splitlines():
        # Mode, links, owner, group, size, month, day, time or year, path.
        fields = line.split(None, 8)
        files[str(PurePosixPath(shlex.split(fields[8])[0]).relative_to("/"))] = int(fields[4])
    return files


def differing_files(image, folder):
    """The paths below `folder` of the files whose data the image holds
    otherwise, read through links as the image was made."""
    said = xorriso(*READ_JOLIET, "-indev", str(image), "-follow", "link", "-compare_r", str(folder), "/")
    differing = {shlex.split(quoted)[0] for quoted in DATA_DIFFERENCE.findall(said)}
    return sorted(os.path.relpath(path, folder) for path in differing)
