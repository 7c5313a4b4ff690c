"""Older Windows under Wine, which offers every call: a copy of the launcher
whose kernel32 import names a stand-in (tools/kernel_stand_in.cpp) that
fails what that Windows stubs or lacks and hands every other call on to
kernel32, with Wine set to tell the program that Windows' version."""

from dataclasses import dataclass

from .pe import with_import_renamed
from .scenario import PROGRAM

# The stand-in's name in the copy, as long as the name it replaces. Wine has
# no library of its own by that name, so it loads the file beside the program.
STAND_IN = "K32STAND.dll"


@dataclass(frozen=True)
class OldWindows:
    name: str
    stand_in_build: str  # tools/<build>.dll, the stand-in for this Windows
    wine_version: str  # Wine's name of this Windows, for the version it reports
    has_free_space_ex: bool  # GetDiskFreeSpaceExA
    moves_files: bool  # MoveFileExA does its work (not only a stub)


WINDOWS_95 = OldWindows("windows_95", "kernel_stand_in_windows95", "win95", has_free_space_ex=False, moves_files=False)
WINDOWS_98_ME = OldWindows("windows_98_me", "kernel_stand_in_windows98", "win98", has_free_space_ex=True,
                           moves_files=False)
NT_4 = OldWindows("nt_4", "kernel_stand_in_nt4", "nt40", has_free_space_ex=True, moves_files=True)
OLD_WINDOWS = (WINDOWS_95, WINDOWS_98_ME, NT_4)


def stand_in_launcher(program):
    """The launcher `program` (its bytes) with its kernel32 import naming
    the stand-in."""
    return with_import_renamed(program, "kernel32.dll", STAND_IN)


def run_as(scenario, windows):
    """Makes the scenario's PC `windows`: the launcher on its disc imports
    the stand-in, which stands beside it, and Wine reports that Windows to it."""
    scenario.add_cd_file(PROGRAM, stand_in_launcher(scenario.settings.tarvo32.read_bytes()))
    scenario.add_cd_file(STAND_IN, (scenario.settings.tools / f"{windows.stand_in_build}.dll").read_bytes())
    scenario.set_user_values(f"Software\\Wine\\AppDefaults\\{PROGRAM}", {"Version": windows.wine_version})
