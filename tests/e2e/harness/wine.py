"""Wine prefixes made from one template, run by the unprivileged Wine user.

A prefix root holds the Wine prefix itself and a "harness" folder that the
prefix sees as drive T:, where the harness puts its tools, registry files
and records, so that drive C: holds only what a reader's PC would.
"""

import hashlib
import os
import pwd
import shutil
import stat
import subprocess
import tempfile
from pathlib import Path

from .failures import AttemptFailed, HarnessFailure, WineError, retried

WINE_USER = "tarvowine"
HARNESS_DRIVE = "t:"

# Wine's architecture follows the build under test. Debian's /usr/bin/wine
# picks the 32-bit loader whenever it is installed, even on a machine that
# cannot run it, so the loaders are called by path.
LOADERS = {"win32": "/usr/lib/wine/wine", "win64": "/usr/lib/wine/wine64"}
WINESERVER = "/usr/lib/wine/wineserver"
# wineserver's exit status when the prefix's server already runs.
SERVER_ALREADY_RUNNING = 2
# Wine's own programs that the harness runs, by their Windows paths. Given a
# bare name, the loader looks in the current folder only (the Wine user's
# home, on no drive), finds nothing and hands the command to start.exe, which
# starts the program as a second Wine process; Wine starts that in a forked
# child whose failure it does not check, and the child's silent end comes
# back as "ShellExecuteEx failed: Internal error". By its path the program is
# the first process, started by the harness itself.
WINE_PROGRAMS = {
    "regedit": "C:\\windows\\regedit.exe",
    "reg": "C:\\windows\\system32\\reg.exe",
    "wineboot": "C:\\windows\\system32\\wineboot.exe",
}
# What `reg export` says of a key that does not exist.
REG_KEY_MISSING = "reg: Unable to find the specified registry key"
TOOL_TIMEOUT_SECONDS = 120  # for a harness call of Wine
IMAGE_FILE_MACHINE_AMD64 = 0x8664
# What a usable prefix holds, below drive C:; without these, wineboot ended early.
ESSENTIAL_FILES = ("windows/system32/kernel32.dll", "windows/regedit.exe")

# As root, Wine opens read-only files for writing; it must run as an
# ordinary user to meet the access errors a reader's PC gives.
AS_ROOT = os.geteuid() == 0

# Wine's installed program files never change during a run, so copies of
# the template share them through hard links (a copy takes 0.1 s, not 2 s).
SHARED_SUFFIXES = {
    ".acm", ".ax", ".com", ".cpl", ".dll", ".drv", ".ds", ".exe", ".fon",
    ".mod", ".msstyles", ".nls", ".ocx", ".sys", ".tlb", ".ttf", ".vxd",
}
# Debian's Wine 8 looks for its own fonts (Tahoma for dialogs, Marlett for
# caption buttons) in /usr/share/fonts, not here where they are installed; a
# prefix also finds fonts in its Fonts folder, so boxes look as on Windows.
WINE_FONTS = Path("/usr/share/wine/fonts")

TEMPLATE_SETTINGS = r"""REGEDIT4

[HKEY_LOCAL_MACHINE\Software\Wine\Drives]
"d:"="cdrom"

; No window manager runs on the test display; Wine would wait two seconds
; for one whenever a box it manages closes.
[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

; A crash ends the run at once instead of waiting behind a dialog.
[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
"""


def _attempt_failed(result):
    """The failure of a harness call that ended with `result`, with what
    Wine printed."""
    return AttemptFailed(f"exit status {result.returncode}: {result.stdout.decode(errors='replace')}")


def _wine_account():
    if not AS_ROOT:
        return pwd.getpwuid(os.geteuid())
    try:
        return pwd.getpwnam(WINE_USER)
    except KeyError:
        raise WineError(f"no user {WINE_USER} to run Wine as: run scripts/setup") from None


def as_wine_user():
    """Keyword arguments for subprocess that run a process as the Wine user."""
    account = _wine_account()
    identity = {"user": account.pw_uid, "group": account.pw_gid, "extra_groups": []} if AS_ROOT else {}
    return {"cwd": account.pw_dir, **identity}


def temp_directory():
    """Wine's temporary folder, which TEMP and TMP name in a new prefix: in
    the profile folder of the Wine user, which bears the account's name."""
    return f"C:\\users\\{_wine_account().pw_name}\\Temp"


def hand_over(path):
    """Lets the Wine user write `path`."""
    if AS_ROOT:
        account = _wine_account()
        os.lchown(path, account.pw_uid, account.pw_gid)


def protect(path):
    """Lets the Wine user read `path` but not change it."""
    mode = os.lstat(path).st_mode
    readable = stat.S_IMODE(mode) | 0o444 | (0o111 if stat.S_ISDIR(mode) else 0)
    if AS_ROOT:
        os.lchown(path, 0, 0)
        os.chmod(path, readable)
    else:
        os.chmod(path, readable & ~0o222)


def remove_tree(path):
    def make_writable_and_retry(function, failed, _):
        os.chmod(os.path.dirname(failed), 0o700)
        function(failed)

    if os.path.lexists(path):
        shutil.rmtree(path, onerror=make_writable_and_retry)


def _is_shared(path):
    return path.suffix.lower() in SHARED_SUFFIXES


def arch_of_machine(machine):
    """The Wine architecture for a PE file's machine (PeFile.machine)."""
    return "win64" if machine == IMAGE_FILE_MACHINE_AMD64 else "win32"


class Prefix:
    def __init__(self, root, arch, display=None):
        self.root = Path(root)
        self.path = self.root / "prefix"
        self.harness = self.root / "harness"
        self.tmp = self.root / "tmp"
        self.arch = arch
        self.loader = LOADERS[arch]
        self.display = display
        # Libraries Wine loads from their files, not its built-in copies.
        self.native_dlls = []

    @property
    def drive_c(self):
        return self.path / "drive_c"

    def environment(self):
        account = _wine_account()
        environment = {
            "PATH": "/usr/local/bin:/usr/bin:/bin",
            "HOME": account.pw_dir,
            "USER": account.pw_name,
            "LOGNAME": account.pw_name,
            # Wine takes its ANSI code page from the locale: C gives 1252.
            "LC_ALL": "C.UTF-8",
            "WINEPREFIX": str(self.path),
            "WINEARCH": self.arch,
            "WINELOADER": self.loader,
            # Debian's wineserver keeps its socket below $TMPDIR, in a folder
            # whose name the prefix records; copies of one template share that
            # name. A temp folder of each prefix's own keeps its server apart
            # from every other Wine on the machine.
            "TMPDIR": str(self.tmp),
            "WINEDEBUG": "-all",
            # For a file named like one of Wine's own programs, Wine gives
            # its built-in copy's version resource and starts that copy,
            # unless told to use the file: the stub browsers are iexplore.exe.
            "WINEDLLOVERRIDES": ";".join(["mscoree,mshtml=", "winemenubuilder.exe=d", "iexplore.exe=n",
                                          *(f"{name}=n" for name in self.native_dlls)]),
        }
        if self.display:
            environment["DISPLAY"] = self.display
            # A person's own display may admit only holders of its cookie.
            if "XAUTHORITY" in os.environ:
                environment["XAUTHORITY"] = os.environ["XAUTHORITY"]
        return environment

    def run(self, command, cwd=None, timeout=120, capture=True, apart=False):
        """Runs `command` as the Wine user; captured output (stdout and
        stderr together, or each in its own with `apart`) ends up in the
        result's stdout (and stderr). It goes through files: Wine's
        background processes inherit the handles and would keep a pipe open
        until the wineserver ends."""
        options = {**as_wine_user(), "env": self.environment(), "timeout": timeout}
        if cwd is not None:
            options["cwd"] = cwd
        if not capture:
            return subprocess.run(command, **options)
        with tempfile.TemporaryFile() as output, tempfile.TemporaryFile() as errors:
            result = subprocess.run(command, stdout=output, stderr=errors if apart else subprocess.STDOUT,
                                    **options)
            output.seek(0)
            result.stdout = output.read()
            errors.seek(0)
            result.stderr = errors.read() if apart else None
        return result

    def run_wine(self, *args, cwd=None, timeout=120, capture=True, apart=False):
        """Runs the Windows program `args[0]` (a Windows path) with the rest
        as its arguments, as `run` does, the prefix's server started first.
        Made once, whatever it ends with: the product runs here, while the
        harness's own calls of Wine go through `wine`."""
        self.start_server()
        return self.run([self.loader, *args], cwd=cwd, timeout=timeout, capture=capture, apart=apart)

    def wine(self, program, *args, cwd=None, timeout=TOOL_TIMEOUT_SECONDS):
        """Runs one of Wine's own programs (a name in WINE_PROGRAMS) or a
        harness tool (a Windows path) with `args`, as `run_wine` does. Never
        for the product: a failed call is tried again (see `retried`) and
        one that keeps failing is a HarnessFailure."""
        command = (WINE_PROGRAMS.get(program, program), *args)
        what = f"wine {' '.join((program, *args))}"

        def attempt():
            result = self._harness_call(what, command, cwd, timeout)
            if result.returncode != 0:
                raise _attempt_failed(result)
            return result

        return retried(what, attempt, recover=self.stop_server)

    def _harness_call(self, what, command, cwd, timeout):
        """`run_wine` for the harness's own calls: a hang is not tried again,
        as a second one would not fit in the test's time."""
        try:
            return self.run_wine(*command, cwd=cwd, timeout=timeout)
        except subprocess.TimeoutExpired:
            raise HarnessFailure(f"{what} did not end within {timeout} s") from None

    def start_server(self):
        """Starts the prefix's wineserver, to stay until `stop_server`,
        unless it runs. Left to itself a server ends within a second of its
        last program, and a program that comes in that second meets a server
        on its way out: it ended with exit status 1 and no word (regedit,
        reg export). A Wine program that has to start the server itself also
        ends silently when that fails; started here, a failed start is told
        and tried again."""
        if not self.path.is_dir():
            return  # a new prefix: Wine makes its folder first, then the server

        def attempt():
            result = self.run([WINESERVER, "--persistent"])
            if result.returncode not in (0, SERVER_ALREADY_RUNNING):
                raise _attempt_failed(result)

        retried(f"the start of the wineserver of {self.path}", attempt)

    def stop_server(self):
        """Ends every process of this prefix and waits for its wineserver to
        go, its registry saved, so that no server outlives the prefix's
        folder."""
        if self.path.is_dir():
            self.run([WINESERVER, "-k"])
            self.run([WINESERVER, "-w"])

    def map_drive(self, letter, folder):
        link = self.path / "dosdevices" / letter
        if link.is_symlink():
            link.unlink()
        link.symlink_to(Path(folder).resolve())
        hand_over(link)

    def map_read_only(self, letter, folder):
        """Maps `folder` as drive `letter`, its contents readable but not
        changeable by the Wine user, as on a disc."""
        for parent, dirs, files in os.walk(folder):
            for name in dirs + files:
                protect(Path(parent) / name)
        protect(folder)
        self.map_drive(letter, folder)

    def make_harness_folder(self):
        self.harness.mkdir(parents=True, exist_ok=True)
        hand_over(self.harness)
        self.map_drive(HARNESS_DRIVE, self.harness)

    def harness_file(self, name, content):
        """Writes a file the Wine user may change; returns its Windows path."""
        path = self.harness / name
        path.write_bytes(content)
        hand_over(path)
        return HARNESS_DRIVE.upper() + "\\" + name

    def import_registry(self, reg_text, name="settings.reg"):
        """Applies a REGEDIT4 file given as text, in one regedit call."""
        windows_path = self.harness_file(name, reg_text.replace("\n", "\r\n").encode("cp1252"))
        self.wine("regedit", "/S", windows_path)

    def export_registry(self, key):
        """The key as `reg export` writes it, or None when it does not exist;
        an export that fails otherwise is tried again, and then a
        HarnessFailure, so that a key is never missing for Wine's sake."""
        name = "export.reg"
        exported = self.harness / name
        command = (WINE_PROGRAMS["reg"], "export", key, HARNESS_DRIVE.upper() + "\\" + name, "/y")
        what = f"wine reg export {key}"

        def attempt():
            exported.unlink(missing_ok=True)
            result = self._harness_call(what, command, None, TOOL_TIMEOUT_SECONDS)
            if result.returncode == 0 and exported.exists():
                text = exported.read_bytes().decode("utf-16")
                exported.unlink()
                return text
            if result.returncode == 1 and REG_KEY_MISSING.encode() in result.stdout:
                return None
            raise _attempt_failed(result)

        return retried(what, attempt, recover=self.stop_server)

    def windows_file(self, windows_path):
        """The Unix path of a file on drive C:, its existing parts matched
        without regard to case as Windows does."""
        drive, _, rest = windows_path.partition(":")
        if drive.upper() != "C":
            raise ValueError(f"only drive C: lives in the prefix: {windows_path}")
        path = self.drive_c
        for part in filter(None, rest.split("\\")):
            matches = [entry for entry in os.listdir(path) if entry.lower() == part.lower()] if path.is_dir() else []
            path = path / (matches[0] if matches else part)
        return path

    def make_windows_folders(self, windows_folder):
        """Creates a folder on drive C: and its parents, for the Wine user."""
        folder = self.windows_file(windows_folder)
        path = self.drive_c
        for part in folder.relative_to(self.drive_c).parts:
            path = path / part
            if not path.exists():
                path.mkdir()
                hand_over(path)
        return folder


def make_template(root, arch):
    """Creates the prefix every test copies: wineboot once, settings, then
    the shared program files protected against changes through a link. A
    template that fails its check is made once more."""
    for attempt in (1, 2):
        prefix, boot_output = _boot_template(root, arch)
        problem = template_problem(prefix)
        if problem is None:
            return prefix
        print(f"prefix template unusable ({problem}); attempt {attempt} of 2; wineboot said:\n"
              + boot_output.decode(errors="replace")[-2000:], flush=True)
    raise HarnessFailure(f"no usable prefix template in {root}: {problem}")


def _boot_template(root, arch):
    remove_tree(root)
    prefix = Prefix(root, arch)
    prefix.root.mkdir(parents=True)
    hand_over(prefix.root)
    prefix.tmp.mkdir()
    hand_over(prefix.tmp)
    try:
        boot_output = prefix.wine("wineboot", "-i").stdout
        # The boot's server was started by Wine, not to stay: it goes before
        # the settings' import starts one that stays.
        prefix.stop_server()
        prefix.make_harness_folder()
        prefix.import_registry(TEMPLATE_SETTINGS)
    finally:
        prefix.stop_server()
    # Copies get their own drives; Z: would show the whole Unix tree.
    for letter in (HARNESS_DRIVE, "z:"):
        link = prefix.path / "dosdevices" / letter
        if link.is_symlink():
            link.unlink()
    remove_tree(prefix.harness)
    if WINE_FONTS.is_dir():
        fonts = prefix.drive_c / "windows" / "Fonts"
        for font in WINE_FONTS.iterdir():
            shutil.copyfile(font, fonts / font.name)
    for folder, _, files in os.walk(prefix.path):
        for name in files:
            if _is_shared(Path(name)):
                protect(Path(folder) / name)
    return prefix, boot_output


def template_problem(prefix):
    """What makes a template unusable, or None."""
    for name in ESSENTIAL_FILES:
        if not (prefix.drive_c / name).is_file():
            return f"no {prefix.drive_c / name}"
    registry = (prefix.path / "system.reg").read_text(errors="replace") + \
        (prefix.path / "user.reg").read_text(errors="replace")
    for setting in ('"d:"="cdrom"', '"Managed"="N"', '"ShowCrashDialog"=dword:00000000'):
        if setting not in registry:
            return f"setting {setting} not applied"
    return None


def build_work_folder(purpose, build):
    """The work folder that a tool for `purpose` keeps between runs for the
    build folder `build`, so that its prefix template serves again."""
    return Path("/tmp") / f"tarvo32-{purpose}-{hashlib.md5(str(build).encode()).hexdigest()[:12]}"


def work_template(work, arch, reuse=False):
    """Makes the prefix template of the run whose work folder is `work`; with
    `reuse`, a sound one of that architecture made earlier serves instead."""
    arch_file = work / "arch"
    if reuse and arch_file.exists() and arch_file.read_text().strip() == arch:
        template = template_prefix(work)
        if template.path.is_dir() and template_problem(template) is None:
            return template
    template = make_template(work / "template", arch)
    arch_file.write_text(arch)
    return template


def template_prefix(work):
    """The template of the run whose work folder is `work`."""
    arch_file = work / "arch"
    if not arch_file.exists():
        raise WineError(f"no prefix template in {work}: run the set-up of the Wine fixture first")
    return Prefix(work / "template", arch_file.read_text().strip())


def copy_prefix(template, root, display=None):
    """A new prefix under `root` with the state of the `template` prefix,
    after the end of any Wine left running in an earlier prefix there; a
    copy that fails is made again."""
    def attempt():
        try:
            return _copy_prefix(template, root, display)
        except OSError as error:
            raise AttemptFailed(str(error)) from error

    return retried(f"the copy of the prefix template to {root}", attempt)


def _copy_prefix(template, root, display):
    Prefix(root, template.arch).stop_server()  # one left by a run that was cut short
    remove_tree(root)
    source = template.path
    copy = Prefix(root, template.arch, display)
    copy.root.mkdir(parents=True)
    hand_over(copy.root)
    copy.tmp.mkdir()
    hand_over(copy.tmp)
    for folder, dirs, files in os.walk(source):
        target = copy.path / Path(folder).relative_to(source)
        target.mkdir()
        hand_over(target)
        for name in dirs + files:
            origin, destination = Path(folder) / name, target / name
            if origin.is_symlink():
                destination.symlink_to(os.readlink(origin))
                hand_over(destination)
            elif origin.is_file():
                if _is_shared(origin):
                    os.link(origin, destination)
                else:
                    shutil.copy2(origin, destination)
                    hand_over(destination)
    copy.make_harness_folder()
    return copy
