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
# (width, height, bits a pixel): 16 and 256 colours in both sizes.
ICON_IMAGES = [(16, 16, 4), (16, 16, 8), (32, 32, 4), (32, 32, 8)]


def headers_of(exe):
    return subprocess.run([os.environ["TARVO32_E2E_OBJDUMP"], "-p", str(exe)],
                          check=True, capture_output=True, text=True).stdout


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
