"""What lies where in a linked Windows program, read from the map GNU ld
writes (-Wl,-Map): the input sections of its code with the object each came
from, the symbols in them, and where the code ends."""

import bisect
import re
from dataclasses import dataclass

# " .text$name  0x00401000  0x20 origin": an input section; a long name
# puts the rest on the next line.
_INPUT = re.compile(r"^ (\.\S+)(?:\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(.+))?$")
_PLACEMENT = re.compile(r"^\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(.+)$")
_SYMBOL = re.compile(r"^\s+0x([0-9a-f]+)\s+([A-Za-z_.$@?][^\s=]*)\s*$")
_CODE_END = re.compile(r"^\s+0x([0-9a-f]+)\s+_{0,3}__CTOR_LIST__ = \.")


@dataclass(frozen=True)
class Piece:
    start: int
    size: int
    section: str
    origin: str

    @property
    def member(self):
        """The object's own name: "unwind-dw2.o" of "libgcc_eh.a(unwind-dw2.o)"."""
        inner = re.search(r"\(([^()]+)\)$", self.origin)
        return inner.group(1) if inner else self.origin.rsplit("/", 1)[-1]


class LinkMap:
    def __init__(self, text):
        self.pieces, self.symbols, self.code_end = [], [], None
        lines = _output_section(text.splitlines(), ".text")
        pending = None
        for line in lines:
            end = _CODE_END.match(line)
            if end:
                self.code_end = int(end.group(1), 16)
                continue
            symbol = _SYMBOL.match(line)
            if symbol and not pending:
                self.symbols.append((int(symbol.group(1), 16), symbol.group(2)))
                continue
            placement = _PLACEMENT.match(line)
            if pending and placement:
                self._add(pending, *placement.groups())
                pending = None
                continue
            piece = _INPUT.match(line)
            if piece:
                name, start, size, origin = piece.groups()
                pending = None if start else name
                if start:
                    self._add(name, start, size, origin)
        self.pieces.sort(key=lambda p: p.start)
        self.symbols.sort()
        self._starts = [p.start for p in self.pieces]

    def _add(self, section, start, size, origin):
        piece = Piece(int(start, 16), int(size, 16), section, origin.strip())
        if piece.size:
            self.pieces.append(piece)

    def piece_at(self, address):
        i = bisect.bisect_right(self._starts, address) - 1
        if i >= 0 and address < self.pieces[i].start + self.pieces[i].size:
            return self.pieces[i]
        return None

    def function_at(self, address):
        """The function's name where the map knows it: the section's own
        name for a function in a section of its own, else the nearest
        symbol before it in the same piece."""
        piece = self.piece_at(address)
        if piece is None:
            return None
        if piece.section.startswith(".text$"):
            return piece.section[len(".text$"):]
        i = bisect.bisect_right(self.symbols, (address, "\uffff")) - 1
        if i >= 0 and self.symbols[i][0] >= piece.start:
            return self.symbols[i][1]
        return None

    def symbol_address(self, name):
        for address, symbol in self.symbols:
            if symbol.lstrip("_") == name.lstrip("_"):
                return address
        return None


def _output_section(lines, name):
    """The lines of the output section `name`, up to the next one."""
    inside, kept = False, []
    for line in lines:
        if line.startswith(name + " ") or line == name:
            inside = True
            continue
        if inside and line and not line[0].isspace():
            break
        if inside:
            kept.append(line)
    return kept
