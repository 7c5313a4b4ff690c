"""One end-to-end scenario: a fresh copy of the template prefix, a CD folder
mapped as CD-ROM drive D: with TARVO32.EXE in its root, registry and files
set up as the test says, and a run of tarvo32.exe under the watcher.

Boxes and the browser's command line come from the tools' record files
(tools/record.h): tab-separated lines, byte strings in hex.
"""

import contextlib
import os
import shutil
import subprocess
import threading
import time
from dataclasses import dataclass, field
from pathlib import Path
from typing import Callable, Optional

from . import display
from .failures import AttemptFailed, HarnessFailure, WineError, retried
from .wine import HARNESS_DRIVE, copy_prefix, hand_over, template_prefix

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
PICTURES = "pictures"  # harness folder the watcher saves the boxes' pictures in
BOX_RECORD = "boxes.rec"  # harness file the watcher records the boxes and the exit code in
FOLLOW_SECONDS = 0.05
# Errors with which CreateProcess refuses the program file itself (bad
# format, bad executable, another machine's): the product's, never Wine's.
PROGRAM_REFUSED = {11, 193, 216}


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


@dataclass(frozen=True)
class Watch:
    """What the watcher does besides recording the boxes and answering them."""
    on_box: Optional[Callable] = None  # called with each Box as soon as it is recorded
    pictures: bool = False  # a picture of each box, as it stood on the display
    by_hand: bool = False  # a person at the display answers the boxes


@dataclass
class Outcome:
    boxes: list
    exit_code: int
    log: bytes = None  # C:\LMRSTART.LOG after the run, None when absent
    browser_starts: list = field(default_factory=list)
    registry: dict = field(default_factory=dict)  # key -> `reg export` text or None
    pictures: list = field(default_factory=list)  # a BMP file of each box (empty when not taken)
    seconds: float = 0.0  # wall time of the watched run, from the watcher's start to its end


def short_name(test_id):
    """A test's name without module, class and "test_": its ctest name and
    the folder its scenario runs in."""
    return test_id.rpartition(".test_")[2]


def _reg_text(text):
    """A text as a REGEDIT4 file quotes it."""
    return text.replace("\\", "\\\\").replace('"', '\\"')


def _records(data):
    return [line.split(b"\t") for line in data.splitlines() if line]


def _box(fields):
    icon, caption, text = fields
    return Box(bytes.fromhex(caption.decode()), bytes.fromhex(text.decode()), icon == b"1")


def boxes_so_far(data):
    """The boxes of a record the watcher is still writing: its complete lines."""
    return [_box(fields) for kind, *fields in _records(data[:data.rfind(b"\n") + 1]) if kind == b"box"]


def launcher_started(data):
    """Whether the watcher's record shows that it let the program run."""
    return any(kind == b"started" for kind, *_ in _records(data))


def _start_error(data):
    """The error with which the watcher's record says the start failed, or None."""
    return next((int(fields[0]) for kind, *fields in _records(data) if kind == b"start-failed"), None)


def parse_watcher_record(data):
    boxes, exit_code = [], None
    for kind, *fields in _records(data):
        if kind == b"box":
            boxes.append(_box(fields))
        elif kind == b"exit":
            exit_code = int(fields[0])
        elif kind != b"started":
            raise WineError(f"watcher: {kind.decode()} {b' '.join(fields).decode()}")
    if exit_code is None:
        raise WineError(f"watcher ended without the program's exit code: {data!r}")
    return boxes, exit_code


def watched_run(returncode, output, record):
    """(boxes, exit code) of a watcher that ended with `returncode`, having
    printed `output` and written `record`. A failure before the program
    started is Wine's and worth another attempt (AttemptFailed), unless
    Windows refused the program file; once it started, every failure is the
    run's."""
    if returncode == 0:
        return parse_watcher_record(record)
    failure = f"watcher failed ({returncode}): {output.decode(errors='replace')}; its record: {record!r}"
    if launcher_started(record) or _start_error(record) in PROGRAM_REFUSED:
        raise WineError(failure)
    raise AttemptFailed(failure)


def parse_browser_record(data):
    return [BrowserStart(*(bytes.fromhex(value.decode()) for value in fields)) for fields in _records(data)]


class Scenario:
    def __init__(self, name, settings=None, disc=None, display_name=None, label=CD_LABEL):
        """A CD holding only the program, or a copy of the folder `disc`
        (with the program in its root), with the volume label `label`; Wine
        shows its windows on the run's display unless `display_name` names
        another."""
        self.settings = settings or Settings.from_environment()
        self.prefix = copy_prefix(self.settings.template, self.settings.work / "scenarios" / name,
                                  display_name or display.current(self.settings.work))
        self.cd = self.prefix.root / "cd"
        if disc is None:
            self.cd.mkdir()
            shutil.copyfile(self.settings.tarvo32, self.cd / PROGRAM)
        else:
            shutil.copytree(disc, self.cd)
        (self.cd / ".windows-label").write_text(label)
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
        """A file on drive C:, owned by the reader (the Wine user). A file it
        replaces is unlinked first: Wine's own files are shared with the
        template through hard links."""
        folder, _, name = windows_path.rpartition("\\")
        path = self.prefix.make_windows_folders(folder) / name
        if path.exists() or path.is_symlink():
            path.unlink()
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

    def replace_system_library(self, name, tool):
        """Puts the test library `tool` (tools/<tool>.dll) in place of the
        system directory's `name` and makes Wine load it from the file."""
        self.add_file("C:\\windows\\system32\\" + name, (self.settings.tools / f"{tool}.dll").read_bytes())
        self.prefix.native_dlls.append(name.rpartition(".")[0])

    def read_file(self, windows_path):
        """The file's bytes, or None when no ordinary file stands there (a
        folder or a device in its place)."""
        path = self.prefix.windows_file(windows_path)
        return path.read_bytes() if path.is_file() else None

    def associate_htm(self, program):
        """.htm files open in `program` (a Windows path), as a browser's
        set-up registers it."""
        command = _reg_text(f'"{program}" "%1"')
        self._registry.append(
            "[-HKEY_CLASSES_ROOT\\.htm]\n"
            "[HKEY_CLASSES_ROOT\\.htm]\n"
            '@="Tarvo32Test.htm"\n'
            "[HKEY_CLASSES_ROOT\\Tarvo32Test.htm\\shell\\open\\command]\n"
            f'@="{command}"\n')

    def remove_htm_association(self):
        self._registry.append("[-HKEY_CLASSES_ROOT\\.htm]\n")

    def set_user_values(self, key, values):
        """Values under HKEY_CURRENT_USER\\`key`, creating it: a number
        becomes a REG_DWORD, bytes a REG_BINARY, a text a REG_SZ."""
        lines = [f"[HKEY_CURRENT_USER\\{key}]"]
        for name, value in values.items():
            if isinstance(value, int):
                lines.append(f'"{name}"=dword:{value:08x}')
            elif isinstance(value, bytes):
                lines.append(f'"{name}"=hex:{",".join(f"{byte:02x}" for byte in value)}')
            else:
                lines.append(f'"{name}"="{_reg_text(value)}"')
        self._registry.append("\n".join(lines) + "\n")

    def set_temp_directory(self, windows_path):
        """TEMP and TMP, which Wine reads from the registry when it starts."""
        self.set_user_values("Environment", {"TEMP": windows_path, "TMP": windows_path})

    def run(self, args=(), tail=None, export=(), watch=Watch(), program=CD_DRIVE.upper() + "\\" + PROGRAM,
            keep_server=False):
        """Runs `program` (the CD's launcher unless told otherwise) with
        `args` (each quoted as needed) or with `tail` as the raw rest of its
        command line; exports the registry keys in `export` afterwards. With
        `keep_server` the prefix's Wine keeps running for the next run, as
        on a PC that has been on for a while (stop it with
        prefix.stop_server())."""
        self._map_cd()
        try:
            if self._registry:
                self.prefix.import_registry("REGEDIT4\n\n" + "\n".join(self._registry))
            started = time.perf_counter()
            boxes, exit_code = self._run_watched(program, args, tail, watch)
            seconds = time.perf_counter() - started
            registry = {key: self.prefix.export_registry(key) for key in export}
        finally:
            if not keep_server:
                self.prefix.stop_server()
        browser_record = self.read_file(BROWSER_RECORD)
        return Outcome(boxes, exit_code, self.read_file(LOG_FILE),
                       parse_browser_record(browser_record) if browser_record else [], registry,
                       self._pictures(len(boxes)) if watch.pictures else [], seconds)

    def run_console(self, program, args):
        """Runs the Windows console program `program` (a Unix path) with the
        CD mapped; the result holds its stdout and stderr apart."""
        self._map_cd()
        windows_path = self.prefix.harness_file(program.name, program.read_bytes())
        try:
            return self.prefix.run_wine(windows_path, *args, cwd=self.prefix.harness, timeout=RUN_TIMEOUT_SECONDS,
                                        apart=True)
        finally:
            self.prefix.stop_server()

    def _map_cd(self):
        """Mapped before Wine starts, which reads the drive's type and label
        only then."""
        self.prefix.map_read_only(CD_DRIVE, self.cd)

    def _run_watched(self, program, args, tail, watch):
        """The watcher's run of `program`, made again while Wine fails it
        before the program starts; never once the program has started."""
        watcher = self.prefix.harness_file("watcher.exe", (self.settings.tools / "watcher.exe").read_bytes())
        record = HARNESS_DRIVE.upper() + "\\" + BOX_RECORD
        options = ["--by-hand"] if watch.by_hand else []
        if watch.pictures:
            (self.prefix.harness / PICTURES).mkdir()
            hand_over(self.prefix.harness / PICTURES)
            options += ["--pictures", HARNESS_DRIVE.upper() + "\\" + PICTURES]
        command = [watcher, *options, record, program, WORD_ZERO, *(["--tail", tail] if tail is not None else args)]
        return retried(f"the watcher's start of {program}", lambda: self._watch(command, watch),
                       recover=self.prefix.stop_server)

    def _watch(self, command, watch):
        # The watcher adds to its record: each run starts a new one.
        (self.prefix.harness / BOX_RECORD).unlink(missing_ok=True)
        limit = None if watch.by_hand else RUN_TIMEOUT_SECONDS  # a person takes the time they need
        try:
            with self._boxes_followed(watch.on_box):
                result = self.prefix.run_wine(*command, cwd=self.cd, timeout=limit)
        except subprocess.TimeoutExpired as timeout:
            record = self._watcher_record()
            if not launcher_started(record):
                raise HarnessFailure(f"the watcher did not start the program within {limit} s: {record!r}") from timeout
            raise WineError(f"no end within {limit} s; boxes so far: {record!r}") from timeout
        return watched_run(result.returncode, result.stdout, self._watcher_record())

    def _watcher_record(self):
        path = self.prefix.harness / BOX_RECORD
        return path.read_bytes() if path.exists() else b""

    @contextlib.contextmanager
    def _boxes_followed(self, on_box):
        """Calls `on_box` with each box the watcher records, while it runs."""
        if on_box is None:
            yield
            return
        done = threading.Event()

        def follow():
            shown = 0
            while True:
                finished = done.is_set()
                boxes = boxes_so_far(self._watcher_record())
                for box in boxes[shown:]:
                    on_box(box)
                shown = len(boxes)
                if finished:
                    return
                done.wait(FOLLOW_SECONDS)

        follower = threading.Thread(target=follow)
        follower.start()
        try:
            yield
        finally:
            done.set()
            follower.join()

    def _pictures(self, count):
        paths = [self.prefix.harness / PICTURES / f"box-{number}.bmp" for number in range(1, count + 1)]
        return [path.read_bytes() if path.exists() else b"" for path in paths]
