#!/usr/bin/env python3
"""Runs tarvo-check.exe under Wine on a disc master folder on this machine,
taking and printing Linux paths:

  scripts/tarvo-check [--json] MASTER
  scripts/tarvo-check identify PROGRAM [--version VERSION] [--master MASTER]
  scripts/tarvo-check log [--json] PATH...

A copy of MASTER (the current folder for identify, unless given) becomes
drive D: of a private Wine prefix; a PROGRAM that is a file here is copied
there too, keeping its path, so that folder names still count; so is each
log PATH, a file or a folder with all it holds (drive L:). The checker's
output and exit status pass through, its file names turned back into paths
below MASTER, or into the PATHs given, and Windows-1252 into this
terminal's text. scripts/tarvo-check builds what is missing, then runs this
file with --build.
"""

import json
import os
import re
import shutil
import sys
from pathlib import Path, PurePosixPath

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tests" / "e2e"))

from harness.pe import PeFile  # noqa: E402
from harness.wine import (WineError, arch_of_machine, build_work_folder, copy_prefix, hand_over, remove_tree,  # noqa: E402
                          work_template)

CHECKER = "tarvo-check.exe"
MASTER_DRIVE = "d:"
PROGRAM_DRIVE = "e:"
LOG_DRIVE = "l:"
RUN_TIMEOUT_SECONDS = 120
BAD_USAGE = 2
JSON_FILE = re.compile(r'("file": ")((?:[^"\\]|\\.)*)(")')


class Arguments:
    """tarvo-check's arguments, with the paths it takes picked out."""

    def __init__(self, arguments):
        self.arguments = list(arguments)
        self.identify = bool(arguments) and arguments[0] == "identify"
        self.log = bool(arguments) and arguments[0] == "log"
        self.master = "." if self.identify else None
        self.master_at = None  # its index, where given
        self.program_at = None
        self.log_at = []  # the index of each log PATH
        position = 1 if self.identify or self.log else 0
        while position < len(arguments):
            argument = arguments[position]
            if argument in ("--version", "--master") and self.identify:
                if argument == "--master" and position + 1 < len(arguments):
                    self.master, self.master_at = arguments[position + 1], position + 1
                position += 2
                continue
            if not argument.startswith("--"):
                if self.identify and self.program_at is None:
                    self.program_at = position
                elif self.log:
                    self.log_at.append(position)
                elif not self.identify and self.master_at is None:
                    self.master, self.master_at = argument, position
            position += 1


def windows_program_path(path):
    """Where a copy of the Linux file `path` stands on the program drive."""
    return PROGRAM_DRIVE.upper() + "\\" + "\\".join(PurePosixPath(path).parts[1:])


def linux_file(master, windows_relative):
    """The path below `master` of a file the checker names, its parts in
    the case they have on disk where they exist (Windows ignores case)."""
    path = Path(master)
    for part in filter(None, windows_relative.split("\\")):
        matches = [entry for entry in os.listdir(path) if entry.lower() == part.lower()] if path.is_dir() else []
        path = path / (matches[0] if matches else part)
    return str(path)


def relative_file(master, json_text):
    """A file as the checker's JSON names it, as a path relative to `master`."""
    relative = os.path.relpath(linux_file(master, json.loads(f'"{json_text}"')), master)
    return json.dumps(relative)[1:-1]


def linux_output(text, master, root, as_json):
    """The checker's output with its files named below `master`."""
    if as_json:
        return JSON_FILE.sub(lambda match: match[1] + relative_file(master, match[2]) + match[3], text)
    lines = []
    for line in text.splitlines():
        if line.startswith(root):
            file, colon, rest = line[len(root):].partition(":")
            line = linux_file(master, file) + colon + rest
        lines.append(line)
    return "".join(line + "\n" for line in lines)


def named_logs(text, copies, as_json):
    """The checker's output with each log's copy named as the path given:
    `copies` holds (Windows path, Linux path, whether it is a folder); a
    file below a copied folder gets its path below the folder given. The
    last first, so that L:\\1 never takes the beginning of L:\\10."""
    for windows_path, linux_path, folder in reversed(copies):
        if as_json:
            escaped = json.dumps(windows_path)[1:-1]
            pattern = re.escape(escaped) + (r'((?:\\\\[^"\\\\]+)*)' if folder else "")
            text = re.sub(pattern, lambda match: json.dumps(
                os.path.join(linux_path, *match[1].split("\\\\")[1:]) if folder else linux_path)[1:-1], text)
        else:
            pattern = re.escape(windows_path) + (r"((?:\\[^\\:\n]+)*)" if folder else "")
            text = re.sub(pattern, lambda match: os.path.join(linux_path, *match[1].split("\\")[1:])
                          if folder else linux_path, text)
    return text


class CannotCopy(Exception):
    """A path given that cannot be copied into the prefix; the text says
    which file and why."""


def copy_tree(source, target, ignore=None):
    try:
        shutil.copytree(source, target, symlinks=False, ignore=ignore)
    except shutil.Error as error:
        failed, _, why = error.args[0][0]
        raise CannotCopy(f"{failed}: cannot be copied ({why})") from error
    except OSError as error:
        raise CannotCopy(f"{error.filename}: cannot be copied ({error.strerror})") from error


def copy_file(source, target):
    try:
        shutil.copyfile(source, target)
    except OSError as error:
        raise CannotCopy(f"{error.filename}: cannot be copied ({error.strerror})") from error


def folder_links(folder, names):
    """The links to folders among `names`: the log reader does not follow
    them, so that none leads round in a circle, and neither does its copy."""
    return [name for name in names if os.path.islink(os.path.join(folder, name))
            and os.path.isdir(os.path.join(folder, name))]


def copy_logs(prefix, command, log_at):
    """Copies each log PATH of `command` that exists into the prefix's drive
    L: and names it there in `command`; returns (Windows path, Linux path,
    whether it is a folder) of each."""
    logs = prefix.root / "logs"
    copies = []
    for number, position in enumerate(log_at, 1):
        given = Path(command[position])
        if not given.exists():
            continue  # the checker says so, under the name given
        target = logs / str(number)
        windows_path = f"{LOG_DRIVE.upper()}\\{number}"
        if given.is_dir():
            copy_tree(given, target, ignore=folder_links)
        else:
            target.mkdir(parents=True)
            copy_file(given, target / given.name)
            windows_path += "\\" + given.name
        copies.append((windows_path, command[position], given.is_dir()))
        command[position] = windows_path
    if copies:
        prefix.map_read_only(LOG_DRIVE, logs)
    return copies


def run_checker(build, work, arguments):
    checker = build / CHECKER
    arch = arch_of_machine(PeFile(checker.read_bytes()).machine)
    work.mkdir(parents=True, exist_ok=True)
    hand_over(work)
    prefix = copy_prefix(work_template(work, arch, reuse=True), work / "check")
    try:
        command = list(arguments.arguments)
        if arguments.master is not None:
            master = Path(arguments.master)
            if not master.is_dir():
                print(f"tarvo-check: no folder {arguments.master}", file=sys.stderr)
                return BAD_USAGE, "", ""
            copy = prefix.root / "master"
            copy_tree(master, copy)
            prefix.map_read_only(MASTER_DRIVE, copy)
            if arguments.master_at is not None:
                command[arguments.master_at] = MASTER_DRIVE.upper() + "\\"
            else:
                command += ["--master", MASTER_DRIVE.upper() + "\\"]
        if arguments.program_at is not None and Path(command[arguments.program_at]).is_file():
            program = Path(command[arguments.program_at]).resolve()
            folder = prefix.root / "programs"
            copy = folder.joinpath(*program.parts[1:])
            copy.parent.mkdir(parents=True)
            shutil.copyfile(program, copy)
            prefix.map_read_only(PROGRAM_DRIVE, folder)
            command[arguments.program_at] = windows_program_path(program)
        if len(arguments.log_at) == 1 and not Path(command[arguments.log_at[0]]).exists():
            print(f"tarvo-check: there is no file {command[arguments.log_at[0]]}", file=sys.stderr)
            return BAD_USAGE, "", ""
        copies = copy_logs(prefix, command, arguments.log_at)
        windows_checker = prefix.harness_file(CHECKER, checker.read_bytes())
        result = prefix.run_wine(windows_checker, *command, cwd=prefix.harness, timeout=RUN_TIMEOUT_SECONDS,
                                 apart=True)
        output, errors = result.stdout.decode("cp1252"), result.stderr.decode("cp1252")
        if copies:
            output = named_logs(output, copies, "--json" in arguments.arguments)
            errors = named_logs(errors, copies, False)
        return result.returncode, output, errors
    except CannotCopy as error:
        print(f"tarvo-check: {error}", file=sys.stderr)
        return BAD_USAGE, "", ""
    finally:
        prefix.stop_server()
        remove_tree(prefix.root)


def check(build, work, arguments):
    """tarvo-check's exit status, output and errors for `arguments`, its
    files named below the master; `work` keeps the prefix template (None:
    the checker's own work folder for `build`)."""
    parsed = Arguments(arguments)
    try:
        status, output, errors = run_checker(build, work or build_work_folder("check", build), parsed)
    except WineError as error:
        return BAD_USAGE, "", f"tarvo-check: {error}\n"
    output = output.replace("\r\n", "\n")
    if parsed.master is not None:
        as_json = "--json" in parsed.arguments and not parsed.identify
        output = linux_output(output, parsed.master, MASTER_DRIVE.upper() + "\\", as_json)
    return status, output, errors.replace("\r\n", "\n")


def main():
    options = {}
    arguments = sys.argv[1:]
    while arguments[:1] in (["--build"], ["--work"]) and len(arguments) > 1:
        options[arguments[0]] = Path(arguments[1]).resolve()
        arguments = arguments[2:]
    if "--build" not in options:
        print(__doc__ + "\nusage: tarvo_check.py --build BUILD [--work WORK] ARGUMENTS...", file=sys.stderr)
        return BAD_USAGE
    sys.stdout.reconfigure(errors="replace")
    status, output, errors = check(options["--build"], options.get("--work"), arguments)
    sys.stdout.write(output)
    sys.stderr.write(errors)
    return status


if __name__ == "__main__":
    sys.exit(main())
