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
import unittest.mock
from pathlib import Path

from harness.link_map import LinkMap
from harness.pe import RT_GROUP_ICON, RT_ICON, RT_MANIFEST, RT_VERSION, PeFile, icon_group_entries, version_strings

# Windows' "known DLLs": always taken from the system directory, so a copy
# planted beside the program cannot stand in for them. Any other library
# (version.dll among them) the program loads itself, by its full path.
KNOWN_DLLS = {
    "advapi32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll",
    "ole32.dll", "oleaut32.dll", "shell32.dll", "shlwapi.dll", "user32.dll",
}
# The 32-bit launcher's C runtime, which every Windows from 95 and NT 3.1 on
# carries (msvcrt.dll came later to Windows 95). Windows NT 3.5 and 4.0 list
# it among their known DLLs (Microsoft KB 102985); for later Windows no
# source here says so, so there a crtdll.dll beside a copied launcher would
# be loaded instead of the system's.
C_RUNTIME_OF_WINDOWS_95 = "crtdll.dll"
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
    win95 = {"kernel32.dll": {line[0] for line in table_lines("win95-kernel32.txt")},
             "crtdll.dll": {line[0] for line in table_lines("win95-crtdll.txt")}}
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
                self.assertLessEqual(imported, KNOWN_DLLS | {C_RUNTIME_OF_WINDOWS_95})


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

    def test_the_launchers_c_runtime_is_the_one_of_windows_95(self):
        dlls = {dll for dll, _ in imports_of(headers_of(Path(os.environ["TARVO32_EXE"])))}
        self.assertIn(C_RUNTIME_OF_WINDOWS_95, dlls)
        self.assertNotIn("msvcrt.dll", dlls)

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


# Instructions a Pentium (and a Pentium MMX, an AMD K6) lacks: the Pentium
# Pro's conditional moves and floating-point compares, MMX and SSE (by their
# registers or their own names), the multi-byte NOP, SYSENTER.
P6_MNEMONIC = re.compile(r"^(cmov|fcmov|f(u)?comip?$|nop[lw]$|sysenter$|sysexit$|emms$|"
                         r"[ls]dmxcsr$|fxsave|fxrstor|[slm]fence$|clflush|prefetch|movnt|maskmov)")
P6_OPERAND = re.compile(r"%x?mm\d")
# What the launcher's fault handler carries out: a conditional move without
# an FS or GS override, whose base it would not know.
CARRIED_OUT = re.compile(r"^cmov[a-z]+$")
# Compiled by Debian for the Pentium Pro; the handler covers their CMOV.
RUNTIME = re.compile(r"^/usr/(lib/gcc|i686-w64-mingw32)/")
# Code that must hold none: it runs at every step (the C: search, the
# catalogue, the start page) where a trap each time would cost too much.
NEVER_TRAPPING = re.compile(r"basic_string|vector|^_Zn[wa]|^_Zd[la]")


def instructions(exe, start, end):
    """(address, mnemonic, operands, raw bytes) of the code from `start` to `end`."""
    listing = subprocess.run(
        [os.environ["TARVO32_E2E_OBJDUMP"], "-d", "-w", f"--start-address={start:#x}",
         f"--stop-address={end:#x}", str(exe)],
        check=True, capture_output=True, text=True).stdout
    for line in listing.splitlines():
        found = re.match(r"\s+([0-9a-f]+):\t((?:[0-9a-f]{2} )+)\s*\t(\S+)\s*(.*)", line)
        if found:
            yield int(found.group(1), 16), found.group(3), found.group(4), found.group(2).split()


def p6_findings(exe, link_map, start):
    """One line for each instruction a Pentium lacks that the handler does
    not carry out, naming its address and, where the map knows it, its
    function and object; and the handler's sites."""
    findings, carried_out = [], []
    for address, mnemonic, operands, raw in instructions(exe, start, link_map.code_end):
        if not (P6_MNEMONIC.match(mnemonic) or P6_OPERAND.search(operands)):
            continue
        piece = link_map.piece_at(address)
        function = link_map.function_at(address) or "?"
        origin = piece.origin if piece else "?"
        where = f"{address:#x} {mnemonic} {operands} in {function} ({piece.member if piece else '?'})"
        overridden = any(byte in ("64", "65") for byte in raw[:raw.index("0f")]) if "0f" in raw else True
        if (CARRIED_OUT.match(mnemonic) and not overridden and RUNTIME.match(origin)
                and not NEVER_TRAPPING.search(function)):
            carried_out.append(where)
        else:
            findings.append(where)
    return findings, carried_out


class RunsOnAPentium(unittest.TestCase):
    """Of the shipped launcher: no instruction a Pentium lacks runs on any
    path it takes. The code runs up to the constructor list; MinGW's linker
    places data behind it in the same section, which a straight disassembly
    would read as instructions."""

    @classmethod
    def setUpClass(cls):
        cls.exe = Path(os.environ["TARVO32_EXE"])
        cls.map = LinkMap(Path(os.environ["TARVO32_MAP"]).read_text())
        cls.text_start = cls.map.pieces[0].start
        cls.maxDiff = None

    def test_code_holds_only_what_the_fault_handler_carries_out(self):
        self.assertIsNotNone(self.map.code_end, "the map names no end of the code")
        findings, carried_out = p6_findings(self.exe, self.map, self.text_start)
        self.assertEqual([], findings)
        # The runtime's own sites, each one reached through the handler.
        self.assertTrue(carried_out, "no runtime CMOV seen: is the disassembly read?")

    def test_starts_with_the_fault_handler(self):
        headers = headers_of(self.exe)
        entry = int(re.search(r"AddressOfEntryPoint\s+([0-9a-f]+)", headers).group(1), 16)
        image_base = int(re.search(r"ImageBase\s+([0-9a-f]+)", headers).group(1), 16)
        self.assertEqual(self.map.symbol_address("StartWithConditionalMovesCarriedOut"), image_base + entry)
        # Windows calls a frame handler of a file that neither forbids them
        # (NO_SEH) nor lists the allowed ones in a load configuration (SafeSEH).
        characteristics = int(re.search(r"DllCharacteristics\s+([0-9a-f]+)", headers).group(1), 16)
        self.assertFalse(characteristics & 0x0400, "the file says it has no frame handlers")
        self.assertRegex(headers, r"Entry a 00000000 00000000 Load Configuration Directory")

    def test_the_frame_lookup_is_built_for_the_pentium(self):
        # The library's own reads every frame description at the first
        # exception of a run: some 27,000 traps on a Pentium.
        origins = {piece.origin for piece in self.map.pieces}
        self.assertTrue(any(origin.endswith("(unwind-dw2-fde.c.obj)") for origin in origins))
        self.assertFalse(any(origin.endswith("libgcc_eh.a(unwind-dw2-fde.o)") for origin in origins))

    def test_the_rule_itself(self):
        cases = [
            ("cmove", "%edx,%eax", "/usr/lib/gcc/i686-w64-mingw32/12-win32/libgcc_eh.a(unwind-dw2.o)", None, True),
            ("cmovne", "%edx,%eax", "CMakeFiles/tarvo_core.dir/app/start_page.cpp.obj", None, False),
            ("cmovb", "%edx,%eax", "/usr/lib/gcc/x/libstdc++.a(string-inst.o)",
             "_ZNKSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEE4findEPKcjj", False),
            ("cmovne", "%eax,%edx", "/usr/lib/gcc/x/libstdc++.a(new_op.o)", "_Znwj", False),
            ("fcomip", "%st(1),%st", "/usr/lib/gcc/x/libgcc.a(x.o)", None, False),
            ("movq", "%mm0,(%eax)", "/usr/lib/gcc/x/libgcc.a(x.o)", None, False),
            ("nopw", "0x0(%eax,%eax,1)", "/usr/lib/gcc/x/libgcc.a(x.o)", None, False),
        ]
        for mnemonic, operands, origin, function, allowed in cases:
            with self.subTest(mnemonic=mnemonic, origin=origin):
                text = (" .text          0x00401000       0x20 " + origin + "\n"
                        + (f"                0x00401000                {function}\n" if function else ""))
                link_map = LinkMap(".text           0x00401000    0x100\n" + text
                                   + "                0x00401020                ___CTOR_LIST__ = .\n")
                listing = [(0x401000, mnemonic, operands, ["0f", "44", "c2"])]
                with unittest.mock.patch(f"{__name__}.instructions", return_value=iter(listing)):
                    findings, carried_out = p6_findings(self.exe, link_map, 0x401000)
                self.assertEqual((len(carried_out), len(findings)), (1, 0) if allowed else (0, 1))


class OwnRuntimePieces(unittest.TestCase):
    """Of the shipped launcher: the runtime pieces it brings itself, read from
    its link map."""

    @classmethod
    def setUpClass(cls):
        cls.map_text = Path(os.environ["TARVO32_MAP"]).read_text()
        cls.members = {piece.member for piece in LinkMap(cls.map_text).pieces}

    def test_the_library_throw_helpers_are_the_launchers(self):
        # The library's own would bring its second string and error classes.
        self.assertIn("library_errors.cpp.obj", self.members)
        self.assertNotIn("functexcept.o", self.members)

    def test_operator_new_and_std_string_are_the_launchers(self):
        self.assertIn("operator_new.cpp.obj", self.members)
        self.assertNotIn("new_op.o", self.members)
        self.assertNotIn("string-inst.o", self.members)

    def test_terminate_ends_with_the_last_resort_report(self):
        self.assertRegex(self.map_text, r"__verbose_terminate_handlerEv = _?EndAfterTermination\b")


class IconDrawing(unittest.TestCase):
    def test_script_draws_the_committed_icon(self):
        with tempfile.TemporaryDirectory() as folder:
            drawn = Path(folder) / "tarvo32.ico"
            subprocess.run([sys.executable, "-B", str(RESOURCES / "make_icon.py"), str(drawn)], check=True)
            self.assertEqual(drawn.read_bytes(), (RESOURCES / "tarvo32.ico").read_bytes())


if __name__ == "__main__":
    unittest.main()
