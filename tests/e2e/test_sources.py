"""Rules of the source tree that no compiler checks: includes run downward
only, and no handler waits for a library error the launcher never throws."""

import re
import unittest
from pathlib import Path

SOURCES = Path(__file__).resolve().parents[2] / "src"

# Each room's floor; a file includes its own room and lower floors only.
# The master checker and the log reader stand side by side and know nothing
# of each other; the checker's command dispatch stands above both.
FLOORS = {
    "platform": 0, "log": 1, "browser": 2, "registration": 3, "app": 4,
    "check": 5, "helpdesk": 5, "entry": 7,
}
DISPATCH = {"check/check_command"}
DISPATCH_FLOOR = 6

INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_0-9]+)/([^"]+)"', re.MULTILINE)

# In the launcher the library's own throw helpers are replaced: these errors
# arrive as the product's Exception under the library's class name, so a
# handler for them would never run there (while the native tests, on the
# library's helpers, would pass it).
REPLACED_LIBRARY_ERRORS = re.compile(
    r"catch\s*\(\s*(const\s+)?std::(logic_error|length_error|out_of_range|invalid_argument)\b")


def sources():
    return sorted(p for p in SOURCES.rglob("*") if p.suffix in {".cpp", ".h"})


def floor_of(room, stem):
    if f"{room}/{stem}" in DISPATCH:
        return DISPATCH_FLOOR
    return FLOORS[room]


def upward_includes(relative, text):
    """(included path, why) for each include of `text`, a file at `relative`
    below src/, that runs against the floors."""
    room, stem = relative.parts[0], relative.with_suffix("").relative_to(relative.parts[0]).as_posix()
    own = floor_of(room, stem)
    wrong = []
    for included_room, included_path in INCLUDE.findall(text):
        if included_room not in FLOORS:
            wrong.append((f"{included_room}/{included_path}", "a room of no floor"))
            continue
        if included_room == room:
            continue
        other = floor_of(included_room, Path(included_path).with_suffix("").as_posix())
        if other >= own:
            wrong.append((f"{included_room}/{included_path}", f"floor {other} from floor {own}"))
    return wrong


class IncludesRunDownward(unittest.TestCase):
    def test_every_room_has_a_floor(self):
        rooms = {p.relative_to(SOURCES).parts[0] for p in sources()}
        self.assertEqual(set(), rooms - set(FLOORS))

    def test_no_include_runs_upward_or_sideways(self):
        for path in sources():
            relative = path.relative_to(SOURCES)
            with self.subTest(relative.as_posix()):
                self.assertEqual([], upward_includes(relative, path.read_text(encoding="utf-8")))

    def test_the_rule_itself(self):
        cases = [
            ("app/main_sequence.cpp", '#include "platform/registry.h"', []),
            ("platform/registry.cpp", '#include "app/tarvo32.h"', [("app/tarvo32.h", "floor 4 from floor 0")]),
            ("log/log_file.cpp", '#include "browser/version_info.h"', [("browser/version_info.h", "floor 2 from floor 1")]),
            ("check/master_check.cpp", '#include "helpdesk/log_text.h"', [("helpdesk/log_text.h", "floor 5 from floor 5")]),
            ("check/check_command.cpp", '#include "helpdesk/log_command.h"', []),
            ("helpdesk/log_report.cpp", '#include "check/check_command.h"', [("check/check_command.h", "floor 6 from floor 5")]),
            ("entry/tarvo32_main.cpp", '#include "app/tarvo32.h"\n#include "platform/win32/win32_backend.h"', []),
        ]
        for relative, text, expected in cases:
            with self.subTest(relative):
                self.assertEqual(expected, upward_includes(Path(relative), text))


class NoHandlerForReplacedLibraryErrors(unittest.TestCase):
    def test_no_catch_names_them(self):
        for path in sources():
            text = path.read_text(encoding="utf-8")
            with self.subTest(path.relative_to(SOURCES).as_posix()):
                self.assertEqual([], [m.group(0) for m in REPLACED_LIBRARY_ERRORS.finditer(text)])

    def test_the_pattern_itself(self):
        caught = ["catch (const std::out_of_range& e)", "catch(std::length_error&)",
                  "catch (const std::logic_error &)", "catch (std::invalid_argument const&)"]
        passed = ["catch (const std::bad_alloc&)", "catch (const std::exception& e)",
                  "catch (const Exception& e)", "catch (const std::out_of_range_like&)"]
        for text in caught:
            self.assertRegex(text, REPLACED_LIBRARY_ERRORS)
        for text in passed:
            self.assertNotRegex(text, REPLACED_LIBRARY_ERRORS)


if __name__ == "__main__":
    unittest.main()
