"""tarvo32.exe must run from a bare disc on a bare 32-bit Windows, and must
not look like an installer to Windows, which would ask to elevate it and so
switch off the file and registry virtualization the program relies on."""

import os
import re
import struct
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

from harness.pe import RT_GROUP_ICON, RT_ICON, RT_MANIFEST, RT_VERSION, PeFile, icon_group_entries, version_strings

# Windows' "known DLLs": always taken from the system directory, so a copy
# planted beside the program cannot stand in for them. Any other library
# (version.dll among them) the program loads itself, by its full path.
KNOWN_DLLS = {
    "advapi32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll",
    "ole32.dll", "oleaut32.dll", "shell32.dll", "shlwapi.dll", "user32.dll",
}
DUTCH = 0x0413
INSTALLER_WORDS = re.compile("setup|install|update", re.IGNORECASE)
RESOURCES = Path(__file__).resolve().parents[2] / "res"
EXPORTS = Path(__file__).resolve().parent / "exports"
# (width, height, bits a pixel): 16 and 256 colours in both sizes.
ICON_IMAGES = [(16, 16, 4), (16, 16, 8), (32, 32, 4), (32, 32, 8)]


def headers_of(exe):
    return subprocess.run([os.environ["TARVO32_E2E_OBJDUMP"], "-p", str(exe)],
                          check=True, capture_output=True, text=True).stdout


def imports_of(headers):
    """(dll in lower case, function) of every import objdump's headers name."""
    imports, dll = set(), None
    for line in headers.splitlines():
        named = re.match(r"\s*DLL Name: (\S+)", line)
        if named:
            dll = named.group(1).lower()
            continue
        function = re.match(r"\t[0-9a-f]+\t\s*\d+\s+(\S+)", line)
        if dll and function:
            imports.add((dll, function.group(1)))
    return imports


def table_lines(name):
    return [line.split("\t") for line in (EXPORTS / name).read_text().splitlines()
            if line and not line.startswith("#")]


def export_tables(oldest):
    """{table's name: {dll: functions}}: what the Windows of each table
    exports, for a program meant to start on `oldest` and later."""
    documented = {}
    for dll, function, since, _ in table_lines("documented.tsv"):
        if since == "Windows 95" or since == oldest:
            documented.setdefault(dll, set()).add(function)
    xp = {}
    for dll, function in table_lines("winxp.tsv"):
        xp.setdefault(dll, set()).add(function)
    win95 = {"kernel32.dll": {line[0] for line in table_lines("win95-kernel32.txt")}}
    return {"Windows XP": xp, "Windows 95": win95, f"documented since {oldest}": documented}


class ImportTable(unittest.TestCase):
    """Of every build, and of the checker too: each must run on a bare
    Windows, and none may take a planted DLL for a system one."""

    def test_imports_only_known_dlls(self):
        for name in ("TARVO32_EXE", "TARVO_CHECK_EXE"):
            with self.subTest(program=name):
                headers = headers_of(Path(os.environ[name]))
                imported = {dll.lower() for dll in re.findall(r"DLL Name: (\S+)", headers)}
                self.assertIn("kernel32.dll", imported, "objdump's import table was not read")
                self.assertLessEqual(imported, KNOWN_DLLS)


class StartsOnOldWindows(unittest.TestCase):
    """Of the shipped i686 programs: Windows refuses to load a program that
    imports one function its DLLs lack, and Wine has them all. The checker
    runs on disc makers' own PCs and may need a newer Windows."""

    OLDEST = {"TARVO32_EXE": "Windows 95", "TARVO_CHECK_EXE": "Windows 2000"}

    def test_imports_only_what_the_oldest_windows_exports(self):
        for program, oldest in self.OLDEST.items():
            imports = imports_of(headers_of(Path(os.environ[program])))
            self.assertIn(("kernel32.dll", "GetProcAddress"), imports, "objdump's import table was not read")
            tables = export_tables(oldest)
            for dll, function in sorted(imports):
                covering = {name: table[dll] for name, table in tables.items() if dll in table}
                with self.subTest(program=program, dll=dll, function=function):
                    self.assertTrue(covering, f"no export table for {dll}")
                    lacking = [name for name, exported in covering.items() if function not in exported]
                    self.assertFalse(lacking, f"{dll} {function} is not in the table of {', '.join(lacking)}")

    def test_header_asks_for_windows_4_0(self):
        for program in self.OLDEST:
            headers = headers_of(Path(os.environ[program]))
            for field in ("MajorOSystemVersion", "MajorSubsystemVersion"):
                self.assertRegex(headers, rf"{field}\s+4\n", program)
            for field in ("MinorOSystemVersion", "MinorSubsystemVersion"):
                self.assertRegex(headers, rf"{field}\s+0\n", program)


class ShippedExecutable(unittest.TestCase):
    """Of the shipped i686 file."""

    @classmethod
    def setUpClass(cls):
        cls.exe = Path(os.environ["TARVO32_EXE"])
        cls.headers = headers_of(cls.exe)
        pe = cls.pe = PeFile(cls.exe.read_bytes())
        cls.versions = pe.resources_by_language(RT_VERSION)
        cls.version_tables = [table for _, resource in cls.versions
                              for table in version_strings(resource).values()]
        cls.manifests = pe.resources(RT_MANIFEST)

    def test_is_a_32_bit_windows_gui_program(self):
        self.assertIn("file format pei-i386", self.headers)
        self.assertRegex(self.headers, r"Magic\s+010b\s+\(PE32\)")
        self.assertRegex(self.headers, r"Subsystem\s+00000002\s+\(Windows GUI\)")

    def test_file_version_is_1_52(self):
        self.assertTrue(self.version_tables, "no version strings")
        for table in self.version_tables:
            self.assertEqual(table.get("FileVersion"), "1.52.0.0")

    def test_version_resource_is_stored_as_dutch(self):
        self.assertEqual([language for language, _ in self.versions], [DUTCH])

    def test_carries_no_debug_sections(self):
        sections = subprocess.run([os.environ["TARVO32_E2E_OBJDUMP"], "-h", str(self.exe)],
                                  check=True, capture_output=True, text=True).stdout
        self.assertIn(".text", sections, "objdump's section table was not read")
        self.assertNotIn(".debug", sections)

    def test_carries_the_disc_icon(self):
        groups = self.pe.resources_by_id(RT_GROUP_ICON)
        self.assertEqual(len(groups), 1, "one icon, the first, which autorun.inf shows")
        entries = icon_group_entries(next(iter(groups.values())))
        self.assertEqual(sorted(entry[:3] for entry in entries), ICON_IMAGES)
        icons = self.pe.resources_by_id(RT_ICON)
        for width, height, bits, size, icon_id in entries:
            image = icons.get(icon_id, b"")
            self.assertEqual(len(image), size, f"image {icon_id}")
            # An icon image is a DIB of twice the height: colours, then the mask.
            self.assertEqual(struct.unpack_from("<4xiiHH", image), (width, 2 * height, 1, bits))

    def test_asks_for_no_execution_level(self):
        for manifest in self.manifests:
            self.assertNotIn(b"requestedExecutionLevel", manifest)

    def test_no_installer_words_in_name_or_version(self):
        for text in [self.exe.name, *(value for table in self.version_tables for value in table.values())]:
            self.assertNotRegex(text, INSTALLER_WORDS)


class IconDrawing(unittest.TestCase):
    def test_script_draws_the_committed_icon(self):
        with tempfile.TemporaryDirectory() as folder:
            drawn = Path(folder) / "tarvo32.ico"
            subprocess.run([sys.executable, "-B", str(RESOURCES / "make_icon.py"), str(drawn)], check=True)
            self.assertEqual(drawn.read_bytes(), (RESOURCES / "tarvo32.ico").read_bytes())


if __name__ == "__main__":
    unittest.main()
