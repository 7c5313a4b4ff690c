"""Reads the resources of a PE file: the version strings, the icons and the
manifests, which objdump does not decode; and its import directory, down to
the bytes of each DLL's name, which a test copy may change."""

import struct
from dataclasses import dataclass

RT_ICON = 3
RT_GROUP_ICON = 14
RT_VERSION = 16
RT_MANIFEST = 24
IMPORT_DIRECTORY = 1
RESOURCE_DIRECTORY = 2
IMPORT_DESCRIPTOR_SIZE = 20


@dataclass(frozen=True)
class ImportedDll:
    name: str
    name_offset: int  # in the file, of the name's first byte
    functions: tuple  # the names imported by name; "#n" for ordinal n


class PeFile:
    def __init__(self, data):
        self.data = data
        header = struct.unpack_from("<I", data, 0x3C)[0]
        if data[header:header + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        self.machine, sections, optional_size = struct.unpack_from("<HH12xH", data, header + 4)
        optional = header + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        self.is_64_bit = magic != 0x10B
        directories = optional + (112 if self.is_64_bit else 96)
        self.import_rva = struct.unpack_from("<I", data, directories + 8 * IMPORT_DIRECTORY)[0]
        self.resource_rva = struct.unpack_from("<I", data, directories + 8 * RESOURCE_DIRECTORY)[0]
        table = optional + optional_size
        self.sections = [struct.unpack_from("<8xIIII", data, table + 40 * i) for i in range(sections)]

    def offset(self, rva):
        for virtual_size, address, raw_size, raw_offset in self.sections:
            if address <= rva < address + max(virtual_size, raw_size):
                return raw_offset + rva - address
        raise ValueError(f"address {rva:#x} is in no section")

    def imports(self):
        """Each DLL of the import directory, in its order."""
        dlls = []
        descriptor = self.offset(self.import_rva) if self.import_rva else None
        while descriptor is not None:
            lookup_rva, _, _, name_rva, address_rva = struct.unpack_from("<IIIII", self.data, descriptor)
            if not name_rva:
                break
            name_offset = self.offset(name_rva)
            name = self.data[name_offset:self.data.index(b"\0", name_offset)].decode("ascii")
            dlls.append(ImportedDll(name, name_offset, self._imported_functions(lookup_rva or address_rva)))
            descriptor += IMPORT_DESCRIPTOR_SIZE
        return dlls

    def _imported_functions(self, table_rva):
        entry_format, ordinal_flag = ("<Q", 1 << 63) if self.is_64_bit else ("<I", 1 << 31)
        size = struct.calcsize(entry_format)
        functions, entry = [], self.offset(table_rva)
        while entry_value := struct.unpack_from(entry_format, self.data, entry)[0]:
            if entry_value & ordinal_flag:
                functions.append(f"#{entry_value & 0xFFFF}")
            else:
                name = self.offset(entry_value & 0x7FFFFFFF) + 2  # past the hint
                functions.append(self.data[name:self.data.index(b"\0", name)].decode("ascii"))
            entry += size
        return tuple(functions)

    def resources(self, type_id):
        """The data of every resource of a numeric type, in any name or language."""
        return [data for _, data in self.resources_by_language(type_id)]

    def resources_by_language(self, type_id):
        """(language id, data) of every resource of a numeric type."""
        return [(language, data) for _, language, data in self._resources(type_id)]

    def resources_by_id(self, type_id):
        """{resource id: data} of a numeric type, whatever the language."""
        return {identifier: data for identifier, _, data in self._resources(type_id)}

    def _resources(self, type_id):
        """(resource id, language id, data) of every resource of a numeric type."""
        if not self.resource_rva:
            return []
        root = self.offset(self.resource_rva)
        return [(name[0], language, self._leaf_data(root, leaf))
                for entry in self._entries(root, root) if entry[0] == type_id
                for name in self._entries(root, root + entry[1])
                for language, leaf in self._entries(root, root + name[1])]

    def _entries(self, root, directory):
        """(id, offset of the subdirectory or leaf from the root) pairs."""
        named, numbered = struct.unpack_from("<12xHH", self.data, directory)
        entries = []
        for i in range(named + numbered):
            identifier, target = struct.unpack_from("<II", self.data, directory + 16 + 8 * i)
            entries.append((identifier, target & 0x7FFFFFFF))
        return entries

    def _leaf_data(self, root, leaf):
        rva, size = struct.unpack_from("<II", self.data, root + leaf)
        start = self.offset(rva)
        return self.data[start:start + size]


def with_import_renamed(data, old, new):
    """The PE file `data` whose import of the DLL `old` (in any case) names
    `new` instead: the name is changed in place, so it keeps its length."""
    if len(new) != len(old):
        raise ValueError(f"{new} is not as long as {old}, whose place in the file it takes")
    named = [dll for dll in PeFile(data).imports() if dll.name.lower() == old.lower()]
    if len(named) != 1:
        raise ValueError(f"{len(named)} imports of {old} in the file, where one was expected")
    start = named[0].name_offset
    return data[:start] + new.encode("ascii") + data[start + len(new):]


def icon_group_entries(resource):
    """(width, height, bits a pixel, size, icon id) of each image an
    RT_GROUP_ICON resource names."""
    count = struct.unpack_from("<4xH", resource)[0]
    return [(width or 256, height or 256, bits, size, icon_id)
            for width, height, bits, size, icon_id in
            (struct.unpack_from("<BB4xHIH", resource, 6 + 14 * i) for i in range(count))]


def _align4(offset):
    return (offset + 3) & ~3


def _version_blocks(data, start, end):
    """(key, value bytes, children) of each version block in data[start:end]."""
    blocks = []
    while start + 6 <= end:
        length, value_length, is_text = struct.unpack_from("<HHH", data, start)
        if length == 0:
            break
        key_end = data.index(b"\0\0", start + 6)
        while (key_end - start) % 2:
            key_end = data.index(b"\0\0", key_end + 1)
        key = data[start + 6:key_end].decode("utf-16-le")
        value_start = _align4(key_end + 2)
        value_size = value_length * 2 if is_text else value_length
        value = data[value_start:value_start + value_size]
        children = _version_blocks(data, _align4(value_start + value_size), start + length)
        blocks.append((key, value, children))
        start = _align4(start + length)
    return blocks


def version_strings(resource):
    """{string table key such as "040904B0": {name: value}} of a VS_VERSIONINFO resource."""
    tables = {}
    for _, _, info_children in _version_blocks(resource, 0, len(resource)):
        for key, _, children in info_children:
            if key == "StringFileInfo":
                for table, _, entries in children:
                    tables[table] = {name: value.decode("utf-16-le").rstrip("\0") for name, value, _ in entries}
    return tables
