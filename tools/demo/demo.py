#!/usr/bin/env python3
"""Runs tarvo32.exe on the sample disc under Wine, on a PC whose .htm files
open in Internet Explorer 6 (a stand-in that only notes its command line),
and shows what the launcher does: each message box as it appears, then its
log, the start page, the registry values it wrote and the command line the
browser received.

Arguments that are not the demo's own go to tarvo32.exe (/DEBUG when there
are none):

  scripts/demo                      the run as a reader's PC sees it, in debug mode
  scripts/demo /CHECKS              the launcher's own switches, passed through
  scripts/demo --unknown-browser    .htm files open in a browser the disc does not know
  scripts/demo --no-browser         nothing opens .htm files
  scripts/demo --screenshots DIR    also a PNG picture of every box, in DIR
  scripts/demo --image              the disc as pressed: the sample disc's image
                                    (scripts/make-image), its files extracted and
                                    mapped as drive D: with the image's label

Without DISPLAY the boxes appear on a virtual display and the demo answers
them; with DISPLAY set they appear there and wait for you to press OK.
scripts/demo installs and builds what is missing, then runs this file.
"""

import argparse
import os
import sys
import textwrap
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tests" / "e2e"))
sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "image"))

from harness import disc_image, display  # noqa: E402
from harness.pe import RT_VERSION, PeFile, version_strings  # noqa: E402
from harness.picture import bmp_to_png  # noqa: E402
from harness.scenario import CD_LABEL, PROGRAM, Scenario, Settings, Watch  # noqa: E402
from harness.wine import (AS_ROOT, WINE_USER, WineError, arch_of_machine, build_work_folder, hand_over,  # noqa: E402
                          remove_tree, work_template)
from make_image import MADE, BadInput, make_image  # noqa: E402

DEMO_BROWSER = "C:\\Browsers\\IE6\\iexplore.exe"
UNKNOWN_BROWSER = "C:\\Browsers\\Webkijker\\webkijk.exe"
BROWSER_STUB = "demo_browser"
# Where the launcher's registrations write.
REGISTRY_KEYS = (
    "HKEY_CLASSES_ROOT\\.lmr",
    "HKEY_CLASSES_ROOT\\Lumora.runfile",
    "HKEY_CLASSES_ROOT\\MIME\\Database\\Content Type\\application/runfile",
    "HKEY_CURRENT_USER\\Software\\Netscape\\Netscape Navigator",
)
START_PAGE = "lmrstart.htm"
BOX_TEXT_WIDTH = 70


def parse_options():
    parser = argparse.ArgumentParser(prog="scripts/demo", description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", type=Path,
                        help="the Windows preset's build folder, with sample-cd/ and the e2e tools "
                             "(scripts/demo gives it)")
    parser.add_argument("--work", type=Path,
                        help="folder for the Wine prefixes (default: one in /tmp per build folder); an "
                             "end-to-end run's folder lends its prefix template and display")
    browser = parser.add_mutually_exclusive_group()
    browser.add_argument("--unknown-browser", action="store_true",
                         help=".htm files open in a browser the disc's catalogue does not know")
    browser.add_argument("--no-browser", action="store_true", help="no program opens .htm files")
    parser.add_argument("--screenshots", type=Path, metavar="DIR", help="save a PNG picture of every box in DIR")
    parser.add_argument("--image", action="store_true",
                        help="run from the sample disc's ISO image: its files extracted and mapped as drive D: "
                             "with the image's label (Wine maps folders, not images)")
    parser.add_argument("arguments", nargs="*", metavar="ARGUMENT", help="for tarvo32.exe (default: /DEBUG)")
    options = parser.parse_args()
    if options.build is None:
        parser.error("--build is required; scripts/demo gives it")
    return options


def show_box(box):
    caption = box.caption.decode("cp1252") + (" (error icon)" if box.icon else "")
    lines = [line for paragraph in box.text.decode("cp1252").split("\n")
             for line in textwrap.wrap(paragraph, BOX_TEXT_WIDTH) or [""]]
    width = max(len(caption) + 2, *(len(line) for line in lines))
    print(f"\n+- {caption} {'-' * (width - len(caption) - 1)}+")
    for line in [*lines, "", "[ OK ]".center(width)]:
        print(f"| {line.ljust(width)} |")
    print(f"+{'-' * (width + 2)}+", flush=True)


def section(title, lines):
    print(f"\n== {title} ==")
    for line in lines:
        print(line)


def windows_path(prefix, path):
    return "C:\\" + "\\".join(path.relative_to(prefix.drive_c).parts)


def start_page(prefix):
    """(Windows path, text) of the start page the run wrote, or None."""
    for folder, _, names in os.walk(prefix.drive_c):
        for name in names:
            if name.lower() == START_PAGE:
                path = Path(folder) / name
                return windows_path(prefix, path), path.read_bytes().decode("cp1252")
    return None


def registry_lines(exports):
    """The exported keys and values, without each export's header."""
    return [line for text in exports.values() if text
            for line in text.splitlines()[1:] if line.strip()]


def save_pictures(folder, pictures):
    folder.mkdir(parents=True, exist_ok=True)
    lines = []
    for number, bmp in enumerate(pictures, 1):
        if not bmp:
            lines.append(f"box {number}: no picture (the display could not be read)")
            continue
        path = folder / f"box-{number}.png"
        path.write_bytes(bmp_to_png(bmp))
        lines.append(f"box {number}: {path}")
    return lines


def product_version(program):
    pe = PeFile(program.read_bytes())
    return next(table["ProductVersion"] for resource in pe.resources(RT_VERSION)
                for table in version_strings(resource).values())


def prepare(scenario, options, tools):
    """The reader's PC: the demo browser installed, .htm files opening in
    the browser the options ask for. Returns what the demo tells about it."""
    scenario.add_stub_browser(DEMO_BROWSER, BROWSER_STUB)
    installed = (f"{DEMO_BROWSER} (a stand-in with the version of Internet Explorer "
                 f"{product_version(tools / (BROWSER_STUB + '.exe'))}) is installed")
    if options.no_browser:
        scenario.remove_htm_association()
        return f"{installed}; no program opens .htm files"
    browser = UNKNOWN_BROWSER if options.unknown_browser else DEMO_BROWSER
    if browser != DEMO_BROWSER:
        scenario.add_stub_browser(browser, BROWSER_STUB)
    scenario.associate_htm(browser)
    return f"{installed}; .htm files open in {browser}"


def disc_from_image(build, work):
    """The sample disc as its image holds it: (folder, label)."""
    image = work / "sample-cd.iso"
    print(f"Image: making {image} with scripts/make-image's own part", flush=True)
    contents = work / "image-contents"
    try:
        if make_image(build, work, build / "sample-cd", image) != MADE:
            raise WineError("no image of the sample disc")
        remove_tree(contents)
        disc_image.extract(image, contents)
        return contents, disc_image.joliet_label(image)
    except (BadInput, disc_image.ImageError) as error:
        raise WineError(f"no image of the sample disc: {error}") from error


def run_demo(options, build, work, display_name, by_hand):
    disc, label = disc_from_image(build, work) if options.image else (build / "sample-cd", CD_LABEL)
    tools = build / "tests" / "e2e" / "tools"
    scenario = Scenario("demo", Settings(work, disc / PROGRAM, tools), disc=disc, display_name=display_name,
                        label=label)
    arguments = options.arguments or ["/DEBUG"]
    print(f"Disc: {disc} as drive D:, volume label {label}")
    print(f"PC: {prepare(scenario, options, tools)}")
    print(f"Display: {display_name} ({'answer the boxes yourself' if by_hand else 'virtual; the demo presses OK'})")
    if by_hand and AS_ROOT:
        print(f"  (Wine runs as {WINE_USER}; if no box appears, let it use the display: "
              f"xhost +si:localuser:{WINE_USER})")
    print(f"Running: D:\\{PROGRAM} {' '.join(arguments)}", flush=True)

    outcome = scenario.run(arguments, export=REGISTRY_KEYS,
                           watch=Watch(on_box=show_box, pictures=options.screenshots is not None, by_hand=by_hand))

    print(f"\n{PROGRAM} ended with exit code {outcome.exit_code}; {len(outcome.boxes)} message box(es).")
    section("The log, C:\\LMRSTART.LOG",
            outcome.log.decode("cp1252").split("\r\n")[:-1] if outcome.log is not None
            else ["(not written: without switches the log is kept only after a problem)"])
    page = start_page(scenario.prefix)
    section(f"The start page, {page[0]}" if page else "The start page",
            page[1].splitlines() if page else ["(none written)"])
    section("Registry values the run wrote", registry_lines(outcome.registry) or ["(none)"])
    section("The browser received",
            [start.command_line.decode("cp1252") for start in outcome.browser_starts]
            or ["(no browser was started)"])
    if options.screenshots is not None:
        section("Pictures of the boxes", save_pictures(options.screenshots, outcome.pictures) or ["(no boxes)"])
    print(f"\nThe prefix stays in {scenario.prefix.root} until the next run.")


def main():
    options = parse_options()
    sys.stdout.reconfigure(errors="replace")
    build = options.build.resolve()
    work = (options.work or build_work_folder("demo", build)).resolve()
    arch = arch_of_machine(PeFile((build / "sample-cd" / PROGRAM).read_bytes()).machine)
    try:
        work.mkdir(parents=True, exist_ok=True)
        hand_over(work)
        print(f"Wine prefix template ({arch}): {work / 'template'} (made once, then reused)", flush=True)
        work_template(work, arch, reuse=True)
        own_display = os.environ.get("DISPLAY")
        shared_display = None if own_display else display.running(work)
        started_display = None if own_display or shared_display else display.start(work)
        try:
            run_demo(options, build, work, own_display or shared_display or started_display,
                     by_hand=bool(own_display))
        finally:
            if started_display:
                display.stop(work)
    except WineError as error:
        print(f"scripts/demo: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
