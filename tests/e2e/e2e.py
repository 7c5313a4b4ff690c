#!/usr/bin/env python3
"""Command line of the end-to-end harness.

  e2e.py --work DIR --arch win32|win64 setup
                              start the run's X display, make the prefix template
  e2e.py --work DIR cleanup   stop what the run left: wineservers, the display
  e2e.py --work DIR run-console PROGRAM [ARGS...]
      run a Windows console program (such as a GoogleTest binary) under Wine
      in a copy of the template, as the Wine user; its output and exit code
      pass through
  e2e.py list MODULE...       "<ctest name> <unittest id>" for every test in MODULEs
"""

import argparse
import importlib
import os
import sys
import time
import unittest
from pathlib import Path

from harness import display
from harness.scenario import short_name
from harness.wine import Prefix, copy_prefix, hand_over, remove_tree, template_prefix, work_template

CONSOLE_TIMEOUT_SECONDS = 600


def prefix_roots(work):
    """Every prefix copy a test may have left, its wineserver maybe running."""
    return [root for folder in ("scenarios", "console") if (work / folder).is_dir()
            for root in (work / folder).iterdir()]


def stop_servers(work):
    """Ends the wineservers of this run's prefixes, and no others."""
    for root in prefix_roots(work):
        Prefix(root, template_prefix(work).arch).stop_server()


def setup(work, arch):
    if work.exists():
        if (work / "arch").exists():
            stop_servers(work)
        display.stop(work)
        remove_tree(work)
    work.mkdir(parents=True)
    hand_over(work)
    print("display", display.start(work))
    started = time.monotonic()
    work_template(work, arch)
    print(f"{arch} prefix template made in {time.monotonic() - started:.1f} s")
    return 0


def cleanup(work):
    if (work / "arch").exists():
        stop_servers(work)
    display.stop(work)
    return 0


def run_console(work, program, args):
    program = Path(program).resolve()
    prefix = copy_prefix(template_prefix(work), work / "console" / f"{program.stem}-{os.getpid()}",
                         display.current(work))
    try:
        windows_path = prefix.harness_file(program.name, program.read_bytes())
        sys.stdout.flush()
        return prefix.run_wine(windows_path, *args, cwd=prefix.harness, capture=False,
                               timeout=CONSOLE_TIMEOUT_SECONDS).returncode
    finally:
        prefix.stop_server()
        remove_tree(prefix.root)


def list_tests(modules):
    loader = unittest.TestLoader()
    for module in modules:
        for case in unittest.TestSuite(loader.loadTestsFromModule(importlib.import_module(module))):
            for test in case:
                print(f"e2e.{short_name(test.id())} {test.id()}")
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--work", type=Path, help="the run's work folder")
    parser.add_argument("--arch", choices=("win32", "win64"), help="Wine's architecture (setup only)")
    commands = parser.add_subparsers(dest="command", required=True)
    commands.add_parser("setup")
    commands.add_parser("cleanup")
    console = commands.add_parser("run-console")
    console.add_argument("program")
    console.add_argument("args", nargs=argparse.REMAINDER)
    listing = commands.add_parser("list")
    listing.add_argument("modules", nargs="+")
    options = parser.parse_args()

    if options.command == "list":
        return list_tests(options.modules)
    if options.work is None:
        parser.error("--work is required")
    work = options.work.resolve()
    if options.command == "setup":
        if options.arch is None:
            parser.error("setup needs --arch")
        return setup(work, options.arch)
    if options.command == "cleanup":
        return cleanup(work)
    return run_console(work, options.program, options.args)


if __name__ == "__main__":
    sys.exit(main())
