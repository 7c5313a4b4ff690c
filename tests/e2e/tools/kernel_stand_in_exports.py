#!/usr/bin/env python3
"""Writes the export list of the kernel32 stand-in for one program:

  kernel_stand_in_exports.py OWN.def PROGRAM.exe OUTPUT.def

OWN.def holds the stand-in's own functions; every other function PROGRAM
imports from kernel32 is forwarded to kernel32, so the stand-in serves the
program as built, whatever it imports."""

import re
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1]))
from harness.pe import PeFile  # noqa: E402

EXPORT_LINE = re.compile(r"\s+(\w+)\s*=")


def kernel32_imports(program):
    dlls = [dll for dll in PeFile(program.read_bytes()).imports() if dll.name.lower() == "kernel32.dll"]
    if len(dlls) != 1:
        raise SystemExit(f"{program}: {len(dlls)} imports of kernel32.dll, where one was expected")
    return dlls[0].functions


def main():
    own_def, program, output = map(Path, sys.argv[1:])
    own_text = own_def.read_text()
    own = {match.group(1) for match in map(EXPORT_LINE.match, own_text.splitlines()) if match}
    imports = kernel32_imports(program)
    ordinals = [name for name in imports if name.startswith("#")]
    if ordinals:
        raise SystemExit(f"{program}: imports kernel32 by ordinal ({', '.join(ordinals)}), which no stand-in forwards")
    forwarded = sorted(set(imports) - own)
    output.write_text(own_text + "".join(f"  {name} = kernel32.{name}\n" for name in forwarded))


if __name__ == "__main__":
    main()
