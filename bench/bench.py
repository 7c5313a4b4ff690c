#!/usr/bin/env python3
"""Benchmarks of the launcher under Wine, on the end-to-end harness's
prefixes, display and watcher. scripts/bench builds what they need and runs
this file; it prints each figure as a median of alternating runs, and the
ratios bench/README.md records.

  search    GetBestBrowser over a synthetic drive C: (20,421 folders, 200,003
            files, a few browsers) against a bare walk of the same tree with
            FindFirstFileA/FindNextFileA (and with FindFirstFileExA), and
            against Linux find on the same folder
  launch    a /DEBUG run of the launcher on a supported browser against a
            program that makes the same Win32 calls once each, both under
            the watcher
  identify  GetBrowserName against catalogues of 100, 1,000 and 10,000
            entries, against the bare profile lookups it makes, and the cost
            of one lookup at the first and at the last entry
"""

import argparse
import os
import platform
import statistics
import subprocess
import sys
import time
from datetime import date
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))

from harness import display  # noqa: E402
from harness.pe import PeFile  # noqa: E402
from harness.scenario import PROGRAM, Scenario, Settings  # noqa: E402
from harness.wine import (AS_ROOT, LOADERS, WINE_USER, arch_of_machine, build_work_folder, hand_over,  # noqa: E402
                          remove_tree, work_template)
from launcher_log import CATALOGUE, DEBUG_REPORT, START_PAGE, TEMPLATE, box, catalogue  # noqa: E402

BROWSER = "C:\\Browser\\stub.exe"
TREE = "Boom"
# 20 x 20 x 50 folders of 10 files each under C:\Boom.
TREE_SHAPE = (20, 20, 50)
FILES_PER_FOLDER = 10
TREE_BROWSERS = {"C:\\Boom\\t03\\m07\\l11\\iexplore.exe": "stub_explorer",
                 "C:\\Boom\\t13\\m02\\l41\\netscape.exe": "stub_navigator",
                 "C:\\Boom\\t19\\m19\\l49\\netscape.exe": "stub_browser"}
SEARCH_CATALOGUE = catalogue([("IEXPLORE", "5", "IE5", "Internet Explorer 5"),
                              ("NETSCAPE", "4", "NN4", "Netscape Navigator 4")], preference="IE5 NN4")
# Names nothing: the search's walk without a single name to compare.
NO_NAMES_CATALOGUE = "C:\\Bench\\geen-namen.ini"
LAUNCH_CATALOGUE = catalogue([("STUB", "1", "IE5", "Stub Browser")])
LAUNCH_TEMPLATE = b'<html><body><a href="<!--TEMPLATE-->">cd-rom</a></body></html>\r\n'
CATALOGUE_SIZES = (100, 1000, 10000)
LAUNCH_CALLS = "LAUNCH.EXE"
BENCHES = ("search", "launch", "identify")


def median(values):
    return statistics.median(values)


def paired_ratio(numerators, denominators):
    """The median of the ratios of runs made side by side: steadier than the
    ratio of medians when the machine's load drifts."""
    return median([numerator / denominator for numerator, denominator in zip(numerators, denominators)])


def wine_version(arch):
    result = subprocess.run([LOADERS[arch], "--version"], capture_output=True, text=True)
    return result.stdout.strip() or "unknown"


def machine(arch):
    model = next((line.split(":", 1)[1].strip() for line in Path("/proc/cpuinfo").read_text().splitlines()
                  if line.startswith("model name")), platform.machine())
    return f"{model}, {os.cpu_count()} cores, Linux {platform.release()}, {wine_version(arch)}"


class Bench:
    def __init__(self, build, work, rounds):
        self.build = build
        self.work = work
        self.rounds = rounds
        self.settings = Settings(work, build / "tarvo32.exe", build / "tests" / "e2e" / "tools")

    def program(self, name):
        return self.build / "bench" / name

    def timed(self, scenario, program, *args):
        """Runs a bench program that times its own work; its milliseconds and
        the rest of what it printed."""
        result = scenario.run_console(self.program(program), list(args))
        if result.returncode != 0:
            raise RuntimeError(f"{program} {' '.join(args)} failed: {result.stdout!r} {result.stderr!r}")
        milliseconds, _, rest = result.stdout.decode(errors="replace").strip().partition(" ")
        return float(milliseconds), rest

    # --- search ---

    def make_tree(self, scenario):
        """The synthetic tree on drive C:, with its browsers; how many folders
        and files it holds."""
        root = scenario.prefix.drive_c / TREE
        files = 0
        for path in (root / f"t{a:02}" / f"m{b:02}" / f"l{c:02}" for a in range(TREE_SHAPE[0])
                     for b in range(TREE_SHAPE[1]) for c in range(TREE_SHAPE[2])):
            path.mkdir(parents=True)
            for number in range(FILES_PER_FOLDER):
                (path / f"bestand{number}.dat").touch()
            files += FILES_PER_FOLDER
        if AS_ROOT:
            subprocess.run(["chown", "-R", f"{WINE_USER}:", str(root)], check=True)
        for windows_path, stub in TREE_BROWSERS.items():
            scenario.add_stub_browser(windows_path, stub)
        folders = sum(1 for _, dirs, _ in os.walk(root) for _ in dirs) + 1
        return folders, files + len(TREE_BROWSERS)

    def search(self):
        scenario = Scenario("bench-search", self.settings)
        scenario.add_cd_file(CATALOGUE, SEARCH_CATALOGUE)
        scenario.add_file(NO_NAMES_CATALOGUE)
        started = time.monotonic()
        folders, files = self.make_tree(scenario)
        print(f"search: C:\\{TREE} holds {folders} folders and {files} files "
              f"(made in {time.monotonic() - started:.0f} s)", flush=True)
        runs = {"walk": ("walk.exe", "C:\\"), "walk --ex": ("walk.exe", "--ex", "C:\\"),
                "search, no names": ("core_bench.exe", "search", NO_NAMES_CATALOGUE),
                "search": ("core_bench.exe", "search")}
        times = {name: [] for name in [*runs, "find"]}
        for round_number in range(1, self.rounds + 1):
            shown = []
            for name, (program, *args) in runs.items():
                milliseconds, said = self.timed(scenario, program, *args)
                times[name].append(milliseconds)
                shown.append(f"{name} {milliseconds:.0f} ms ({said or 'none found'})")
            started = time.perf_counter()
            subprocess.run(["find", str(scenario.prefix.drive_c)], stdout=subprocess.DEVNULL, check=True)
            times["find"].append(1000 * (time.perf_counter() - started))
            print(f"  round {round_number}: {', '.join(shown)}, find {times['find'][-1]:.0f} ms", flush=True)
        medians = {name: median(values) for name, values in times.items()}
        print("search medians (ms): " + ", ".join(f"{name} {value:.0f}" for name, value in medians.items()))
        for name in ("search", "search, no names", "walk --ex"):
            print(f"  {name} / walk = {medians[name] / medians['walk']:.3f} "
                  f"(median of the rounds' own ratios {paired_ratio(times[name], times['walk']):.3f})")
        print(f"  walk / find = {medians['walk'] / medians['find']:.1f}")
        return scenario

    # --- launch ---

    def launch(self):
        scenario = Scenario("bench-launch", self.settings)
        scenario.add_cd_file(START_PAGE, b"<html></html>")
        scenario.add_cd_file(CATALOGUE, LAUNCH_CATALOGUE)
        scenario.add_cd_file(TEMPLATE, LAUNCH_TEMPLATE)
        scenario.add_cd_file(LAUNCH_CALLS, self.program("launch_calls.exe").read_bytes())
        scenario.add_stub_browser(BROWSER)
        scenario.associate_htm(BROWSER)
        runs = {"launcher": (["/DEBUG"], "D:\\" + PROGRAM), "calls": ([], "D:\\" + LAUNCH_CALLS)}
        times = {name: [] for name in runs}
        try:
            # The first run of each copies the catalogue and starts Wine's
            # services. A run is short: three times as many rounds.
            for round_number in range(3 * self.rounds + 1):
                for name, (args, program) in runs.items():
                    outcome = scenario.run(args, program=program, keep_server=True)
                    if outcome.boxes != [box(DEBUG_REPORT)] or outcome.exit_code != 0:
                        raise RuntimeError(f"{name}: {outcome.boxes} {outcome.exit_code}")
                    if round_number:
                        times[name].append(1000 * outcome.seconds)
                if round_number:
                    print(f"  round {round_number}: launcher {times['launcher'][-1]:.0f} ms, "
                          f"calls {times['calls'][-1]:.0f} ms", flush=True)
        finally:
            scenario.prefix.stop_server()
        medians = {name: median(values) for name, values in times.items()}
        print(f"launch medians (ms): launcher {medians['launcher']:.0f}, calls {medians['calls']:.0f}")
        print(f"  launcher / calls = {medians['launcher'] / medians['calls']:.3f} "
              f"(median of the rounds' own ratios {paired_ratio(times['launcher'], times['calls']):.3f})")
        return scenario

    # --- identify ---

    def identify(self):
        scenario = Scenario("bench-identify", self.settings)
        scenario.add_stub_browser(BROWSER)
        # Older than Wine's profile cache requires (2.1 s), as a disc's files are.
        written = time.time() - 60
        for size in CATALOGUE_SIZES:
            scenario.add_file(self.catalogue_path(size), self.large_catalogue(size))
            os.utime(scenario.prefix.windows_file(self.catalogue_path(size)), (written, written))
        figures = {}
        for size in CATALOGUE_SIZES:
            ini = self.catalogue_path(size)
            times = {"identify": [], "lookups": [], "first": [], "last": []}
            for _ in range(self.rounds):
                milliseconds, code = self.timed(scenario, "core_bench.exe", "identify", ini, BROWSER)
                if code != "IE5":
                    raise RuntimeError(f"identification against {size} entries gave {code}")
                times["identify"].append(milliseconds)
                times["lookups"].append(self.timed(scenario, "core_bench.exe", "lookups", ini)[0])
                times["first"].append(self.timed(scenario, "core_bench.exe", "lookup", ini, "1")[0])
                times["last"].append(self.timed(scenario, "core_bench.exe", "lookup", ini, str(size))[0])
            figures[size] = {name: median(values) for name, values in times.items()}
            print(f"identify, {size} entries (ms): identification {figures[size]['identify']:.1f}, "
                  f"bare lookups {figures[size]['lookups']:.1f}, one lookup at entry 1 "
                  f"{figures[size]['first']:.3f}, at entry {size} {figures[size]['last']:.3f}", flush=True)
        for smaller, larger in zip(CATALOGUE_SIZES, CATALOGUE_SIZES[1:]):
            print(f"  {smaller} -> {larger} entries: identification x"
                  f"{figures[larger]['identify'] / figures[smaller]['identify']:.1f}, lookups x"
                  f"{figures[larger]['lookups'] / figures[smaller]['lookups']:.1f}")
        for size in CATALOGUE_SIZES:
            print(f"  {size} entries: identification / bare lookups = "
                  f"{figures[size]['identify'] / figures[size]['lookups']:.2f}")
        return scenario

    @staticmethod
    def catalogue_path(size):
        return f"C:\\Bench\\browsers{size}.ini"

    @staticmethod
    def large_catalogue(size):
        """`size` entries of other browsers, the stub's the last."""
        entries = [(f"ANDERS{number}", "", f"A{number % 100:02}", f"Andere browser {number}")
                   for number in range(1, size)]
        return catalogue([*entries, ("STUB", "1", "IE5", "Stub Browser")])


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", type=Path, required=True, help="the Windows preset's build folder")
    parser.add_argument("--rounds", type=int, default=9,
                        help="alternating runs of each program (default 9; the launch bench makes three times as many)")
    parser.add_argument("benches", nargs="*", metavar="search|launch|identify",
                        help="the benches to run (default: all)")
    options = parser.parse_args()
    unknown = set(options.benches) - set(BENCHES)
    if unknown:
        parser.error(f"no such bench: {', '.join(sorted(unknown))}")
    build = options.build.resolve()
    arch = arch_of_machine(PeFile((build / "tarvo32.exe").read_bytes()).machine)
    work = build_work_folder("bench", build)
    work.mkdir(parents=True, exist_ok=True)
    hand_over(work)
    print(f"{date.today()}, {arch} Wine, {machine(arch)}", flush=True)
    work_template(work, arch, reuse=True)
    started_display = display.running(work) is None and display.start(work)
    bench = Bench(build, work, options.rounds)
    try:
        for name in options.benches or BENCHES:
            scenario = getattr(bench, name)()
            # Its prefix is of no use afterwards, and the search's holds 200,000 files.
            scenario.prefix.stop_server()
            remove_tree(scenario.prefix.root)
    finally:
        if started_display:
            display.stop(work)
    return 0


if __name__ == "__main__":
    sys.exit(main())
