"""The master's files as the image takes them: each name as Joliet and
Windows take it, each path within Joliet's length, every file readable, no
two names Windows tells apart only by case, no link that brings a folder in
twice or the image's own folder in, and the names the launcher needs kept
in the plain ISO 9660 (level 1) tree as they are."""

import os
import re
import string
from pathlib import Path, PurePosixPath

JOLIET_NAME_LENGTH = 64
# libisofs leaves out of the Joliet tree a file whose path from the root
# takes more bytes of UCS-2 (names beyond UCS-2 are refused first).
JOLIET_PATH_BYTES = 240
# ISO 9660 takes eight levels of folders, the root being the first.
ISO_FOLDER_LEVELS = 8
JOLIET_FORBIDDEN = frozenset('*/:;?\\')
WINDOWS_FORBIDDEN = frozenset('"<>|')
# Names Windows keeps for devices, with any extension.
DEVICE_NAMES = frozenset(["CON", "PRN", "AUX", "NUL", *(f"COM{n}" for n in range(1, 10)),
                          *(f"LPT{n}" for n in range(1, 10))])
LARGEST_FILE = 2 ** 32 - 1  # level 1 keeps a file in one extent
ISO_NAME_CHARACTERS = frozenset(string.ascii_uppercase + string.digits + "_")
ISO_STEM_LENGTH, ISO_EXTENSION_LENGTH = 8, 3
# The launcher's own list of the disc's files it opens, starts or names.
DISC_FILES = Path(__file__).resolve().parents[2] / "src" / "platform" / "disc_files.h"
DISC_FILE = re.compile(r'^inline constexpr const char\* \w+ = "([^"]+)";', re.MULTILINE)


class BadInput(Exception):
    """A master or image path the image cannot be made from; the message
    names the file."""


def launcher_files():
    """The files the launcher opens, starts or names, relative to the disc's
    root in lower case ("intface/hoofd.htm"), read from its own source."""
    files = [name.replace("\\\\", "/").lower() for name in DISC_FILE.findall(DISC_FILES.read_text())]
    if "tarvo32.exe" not in files:
        raise RuntimeError(f"{DISC_FILES}: no list of the disc's files found")
    return files


def windows_case(name):
    """`name` as Windows compares names: each letter in capitals, one
    character for one."""
    return "".join(c.upper() if len(c.upper()) == 1 else c for c in name)


def iso_name(name, folder):
    """The plain ISO 9660 level 1 name xorriso gives `name` when no other
    name in its folder has it: capitals, digits and "_" for anything else;
    a folder's first eight, a file's first eight before its last dot and
    three after it."""
    def mapped(text):
        return "".join(c.upper() if c.isascii() and c.upper() in ISO_NAME_CHARACTERS else "_" for c in text)
    dot = name.rfind(".")
    if folder or dot <= 0:
        return mapped(name)[:ISO_STEM_LENGTH]
    extension = mapped(name[dot + 1:])[:ISO_EXTENSION_LENGTH]
    return mapped(name[:dot])[:ISO_STEM_LENGTH] + ("." + extension if extension else "")


def keeps_iso_name(path):
    """True when each part of `path` ("intface/x.ico") is, but for its
    case, the plain ISO 9660 name xorriso gives it."""
    *folders, name = PurePosixPath(path).parts
    return all(iso_name(folder, True) == folder.upper() for folder in folders) and \
        iso_name(name, False) == name.upper()


def name_problem(name):
    """Why Joliet or Windows cannot take the name `name`, or None."""
    try:
        name.encode("utf-8")
    except UnicodeEncodeError:
        return "a name that is not UTF-8"
    if len(name.encode("utf-16-be")) > 2 * JOLIET_NAME_LENGTH:
        return f"a name of {len(name)} characters, more than the {JOLIET_NAME_LENGTH} Joliet takes"
    forbidden = sorted(set(name) & JOLIET_FORBIDDEN) + [c for c in name if ord(c) < 32 or ord(c) > 0xFFFF]
    if forbidden:
        return f"a name with {forbidden[0]!r}, which Joliet does not take"
    if set(name) & WINDOWS_FORBIDDEN:
        return f"a name with {sorted(set(name) & WINDOWS_FORBIDDEN)[0]!r}, which Windows does not take"
    if name[-1] in " .":
        return f"a name ending in a {'blank' if name[-1] == ' ' else 'dot'}, which Windows drops"
    device = name.split(".")[0].rstrip(" ").upper()
    if device in DEVICE_NAMES:
        return f"a name Windows keeps for the device {device}"
    return None


class MasterWalk:
    """Walks the master, checking each entry on the way; `files` then holds
    {path relative to the master: size} of every file."""

    def __init__(self, master, image, needed):
        self.master = master
        self.image = image
        self.real_master = Path(os.path.realpath(master))
        self.real_image_folder = Path(os.path.realpath(image.parent))
        # Paths the launcher and autorun need, in Windows' case, with their folders.
        self.needed = {windows_case(path) for path in needed}
        self.needed |= {windows_case(str(parent)) for path in needed for parent in PurePosixPath(path).parents}
        self.reached = {}  # real path of each folder reached through a link: the path it was reached as
        self.files = {}

    def walk(self, folder=None, relative=PurePosixPath()):
        folder = folder or self.master
        try:
            names = sorted(os.listdir(folder))
        except OSError as error:
            raise BadInput(f"{folder}: cannot be read ({error.strerror})") from None
        self.check_cases(folder, names)
        self.check_iso_names(folder, relative, names)
        for name in names:
            path, path_relative = Path(folder) / name, relative / name
            problem = self.entry_problem(path, path_relative)
            if problem:
                raise BadInput(f"{path}: {problem}")
            if path.is_dir():
                self.walk(path, path_relative)
            else:
                self.files[str(path_relative)] = path.stat().st_size

    @staticmethod
    def check_cases(folder, names):
        seen = {}
        for name in names:
            other = seen.setdefault(windows_case(name), name)
            if other != name:
                raise BadInput(f"{Path(folder) / name}: differs from {other} only in case: Windows opens only one "
                               "of the two, and the plain ISO 9660 names have neither")

    def check_iso_names(self, folder, relative, names):
        """Refuses a name that would take the plain ISO 9660 name of one the
        launcher needs: xorriso then renames both (HOOFD0.HTM, HOOFD1.HTM)."""
        iso_names = {name: iso_name(name, (Path(folder) / name).is_dir()) for name in names}
        for name in names:
            if windows_case(str(relative / name)) not in self.needed:
                continue
            for other in names:
                if other != name and iso_names[other] == iso_names[name]:
                    raise BadInput(f"{Path(folder) / other}: its plain ISO 9660 name would be {iso_names[name]}, as "
                                   f"{name}'s, which the disc needs: both would be renamed, and a PC that reads "
                                   f"only those names would find no {iso_names[name]}")

    def entry_problem(self, path, relative):
        """Why the image cannot take the file or folder `path` (`relative` to
        the master), or None."""
        problem = name_problem(path.name)
        if problem:
            return problem
        if 2 * len(str(relative)) > JOLIET_PATH_BYTES:
            return f"a path of {len(str(relative))} characters, more than the {JOLIET_PATH_BYTES // 2} Joliet takes"
        if not path.exists():
            return "a link to nothing"
        if path.is_dir():
            if len(relative.parts) + 1 > ISO_FOLDER_LEVELS:
                return f"a folder deeper than the {ISO_FOLDER_LEVELS} levels ISO 9660 allows (the root counts as one)"
            return self.folder_link_problem(path) if path.is_symlink() else None
        if not path.is_file():
            return "neither a file nor a folder"
        if os.path.realpath(path) == os.path.realpath(self.image):
            return "a link to the image itself"
        if path.stat().st_size > LARGEST_FILE:
            return f"a file of {path.stat().st_size} bytes, more than ISO 9660 level 1 takes ({LARGEST_FILE})"
        try:
            open(path, "rb").close()
        except OSError as error:
            return f"cannot be read ({error.strerror})"
        return None

    def folder_link_problem(self, link):
        target = Path(os.path.realpath(link))
        if self.real_image_folder.is_relative_to(target):
            return (f"a link to {target}, the image's folder or one that holds it: the image would hold what is "
                    "written there, its own half-made copy included")
        if self.real_master.is_relative_to(target):
            return f"a link to {target}, which holds the master itself"
        if target.is_relative_to(self.real_master):
            return f"a link to {target}, a folder the master already holds"
        for reached, reached_as in self.reached.items():
            if target.is_relative_to(reached) or reached.is_relative_to(target):
                return f"a link to {target}, which the master already holds, or part of it, as {reached_as}"
        self.reached[target] = link
        return None


def master_files(master, image, needed):
    """{path relative to the master: size} of every file of `master`, after
    checking that the image `image` can take each of them and their folders
    and keeps the plain ISO 9660 names of `needed` (paths from the root)."""
    walk = MasterWalk(master, image, needed)
    walk.walk()
    return walk.files
