"""One end-to-end scenario: a fresh copy of the template prefix, a CD folder
mapped as CD-ROM drive D: with TARVO32.EXE in its root, registry and files
set up as the test says, and a run of tarvo32.exe under the watcher.

Boxes and the browser's command line come from the tools' record files
(tools/record.h): tab-separated lines, byte strings in hex.
"""

import os
import shutil
import subprocess
from dataclasses import dataclass, field
from pathlib import Path

from . import display
from .wine import HARNESS_DRIVE, WineError, copy_prefix, hand_over, protect, template_prefix

CD_DRIVE = "d:"
CD_LABEL = "LUMORA"
# As a pressed disc names it; the program takes its box caption from this.
PROGRAM = "TARVO32.EXE"
# Word 0 of the program's command line, as autorun writes it: relative, so
# it differs from the program's own path, which is what the program uses.
WORD_ZERO = "tarvo32.exe"
LOG_FILE = "C:\\LMRSTART.LOG"
WINDOWS_DIRECTORY = "C:\\windows"
BROWSER_RECORD = "C:\\stub-browser.log"
RUN_TIMEOUT_SECONDS = 60


@dataclass(frozen=True)
class Settings:
    work: Path
    tarvo32: Path
    tools: Path  # watcher.exe and the stub browsers, <target>.exe

    @classmethod
    def from_environment(cls):
        return cls(*(Path(os.environ[name]) for name in ("TARVO32_E2E_WORK", "TARVO32_EXE", "TARVO32_E2E_TOOLS")))

    @property
    def template(self):
        return template_prefix(self.work)


@dataclass(frozen=True)
class Box:
    caption: bytes
    text: bytes
    icon: bool = False


@dataclass(frozen=True)
class BrowserStart:
    program: bytes  # the stub's own path
    command_line: bytes


@dataclass
class Outcome:
    boxes: list
    exit_code: int
    log: bytes = None  # C:\LMRSTART.LOG after the run, None when absent
    browser_starts: list = field(default_factory=list)
    registry: dict = field(default_factory=dict)  # key -> `reg export` text or None


def short_name(test_id):
    """A test's name without module, class and "test_": its ctest name and
    the folder its scenario runs in."""
    return test_id.rpartition(".test_")[2]


def _records(data):
    return [line.split(b"\t") for line in data.splitlines() if line]


def parse_watcher_record(data):
    boxes, exit_code = [], None
    for kind, *fields in _records(data):
        if kind == b"box":
            icon, caption, text = fields
            boxes.append(Box(bytes.fromhex(caption.decode()), bytes.fromhex(text.decode()), icon == b"1"))
        elif kind == b"exit":
            exit_code = int(fields[0])
        else:
            raise WineError(f"watcher: {kind.decode()} {b' '.join(fields).decode()}")
    if exit_code is None:
        raise WineError(f"watcher ended without the program's exit code: {data!r}")
    return boxes, exit_code


def parse_browser_record(data):
    return [BrowserStart(*(bytes.fromhex(value.decode()) for value in fields)) for fields in _records(data)]


class Scenario:
    def __init__(self, name, settings=None):
        self.settings = settings or Settings.from_environment()
        self.prefix = copy_prefix(self.settings.template, self.settings.work / "scenarios" / name,
                                  display.current(self.settings.work))
        self.cd = self.prefix.root / "cd"
        self.cd.mkdir()
        (self.cd / ".windows-label").write_text(CD_LABEL)
        shutil.copyfile(self.settings.tarvo32, self.cd / PROGRAM)
        self._registry = []

    @property
    def address_digits(self):
        """Hexadecimal digits of an address the program prints."""
        return 16 if self.prefix.arch == "win64" else 8

    def add_cd_file(self, relative_path, content=b""):
        path = self.cd.joinpath(*relative_path.split("\\"))
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(content)

    def add_file(self, windows_path, content=b"", read_only=False):
        """A file on drive C:, owned by the reader (the Wine user)."""
        folder, _, name = windows_path.rpartition("\\")
        path = self.prefix.make_windows_folders(folder) / name
        path.write_bytes(content)
        hand_over(path)
        if read_only:
            path.chmod(0o444)

    def stub_program(self, stub="stub_browser"):
        """The bytes of a stub browser the build made, such as stub_navigator."""
        return (self.settings.tools / f"{stub}.exe").read_bytes()

    def add_stub_browser(self, windows_path, stub="stub_browser"):
        self.add_file(windows_path, self.stub_program(stub))

    def remove_wine_iexplore(self):
        """Drive C: without Wine's own iexplore.exe (under Program Files and
        in the system folders), for a search that must not meet it."""
        for folder, _, files in os.walk(self.prefix.drive_c):
            for name in files:
                if name.lower() == "iexplore.exe":
                    os.unlink(os.path.join(folder, name))

    def add_directory_link(self, windows_path, target):
        """A Unix symbolic link on drive C: to the folder `target` (also on
        C:), which Wine shows as a directory link."""
        folder, _, name = windows_path.rpartition("\\")
        link = self.prefix.make_windows_folders(folder) / name
        link.symlink_to(os.path.relpath(self.prefix.windows_file(target), link.parent))
        hand_over(link)

    def read_file(self, windows_path):
        path = self.prefix.windows_file(windows_path)
        return path.read_bytes() if path.exists() else None

    def associate_htm(self, program):
        """.htm files open in `program` (a Windows path), as a browser's
        set-up registers it."""
        command = f'"{program}" "%1"'.replace("\\", "\\\\").replace('"', '\\"')
        self._registry.append(
            "[-HKEY_CLASSES_ROOT\\.htm]\n"
            "[HKEY_CLASSES_ROOT\\.htm]\n"
            '@="Tarvo32Test.htm"\n'
            "[HKEY_CLASSES_ROOT\\Tarvo32Test.htm\\shell\\open\\command]\n"
            f'@="{command}"\n')

    def remove_htm_association(self):
        self._registry.append("[-HKEY_CLASSES_ROOT\\.htm]\n")

    def run(self, args=(), tail=None, export=(), program=CD_DRIVE.upper() + "\\" + PROGRAM):
        """Runs `program` (the CD's launcher unless told otherwise) with
        `args` (each quoted as needed) or with `tail` as the raw rest of its
        command line; exports the registry keys in `export` afterwards."""
        self._map_cd()
        try:
            if self._registry:
                self.prefix.import_registry("REGEDIT4\n\n" + "\n".join(self._registry))
            boxes, exit_code = self._run_watched(program, args, tail)
            registry = {key: self.prefix.export_registry(key) for key in export}
        finally:
            self.prefix.stop_server()
        browser_record = self.read_file(BROWSER_RECORD)
        return Outcome(boxes, exit_code, self.read_file(LOG_FILE),
                       parse_browser_record(browser_record) if browser_record else [], registry)

    def _map_cd(self):
        """Read-only like a disc; mapped before Wine starts, which reads the
        drive's type and label only then."""
        for folder, dirs, files in os.walk(self.cd):
            for name in dirs + files:
                protect(Path(folder) / name)
        protect(self.cd)
        self.prefix.map_drive(CD_DRIVE, self.cd)

    def _run_watched(self, program, args, tail):
        watcher = self.prefix.harness_file("watcher.exe", (self.settings.tools / "watcher.exe").read_bytes())
        record = HARNESS_DRIVE.upper() + "\\boxes.rec"
        command = self.prefix.wine_command(watcher, record, program, WORD_ZERO,
                                           *(["--tail", tail] if tail is not None else args))
        try:
            result = self.prefix.run(command, cwd=self.cd, timeout=RUN_TIMEOUT_SECONDS)
        except subprocess.TimeoutExpired as timeout:
            raise WineError(f"no end within {RUN_TIMEOUT_SECONDS} s; boxes so far: {self._watcher_record()!r}") from timeout
        if result.returncode != 0:
            raise WineError(f"watcher failed ({result.returncode}): {result.stdout.decode(errors='replace')}")
        return parse_watcher_record(self._watcher_record())

    def _watcher_record(self):
        path = self.prefix.harness / "boxes.rec"
        return path.read_bytes() if path.exists() else b""
