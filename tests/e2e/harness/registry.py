"""Reads what `reg export` writes: each key with its values, the values as
their .reg text (so "..." is a REG_SZ, hex: a REG_BINARY, dword: a
REG_DWORD)."""


def parse_export(text):
    """{key path: {value name (@ for the default): value text}} of an export,
    or {} for None (a key that does not exist)."""
    keys, current, pending = {}, None, ""
    for line in (text or "").splitlines():
        line = pending + line.strip()
        pending = ""
        if line.endswith("\\") and current is not None and "=" in line:
            pending = line[:-1]  # a long hex value goes on on the next line
            continue
        if line.startswith("[") and line.endswith("]"):
            current = keys.setdefault(line[1:-1], {})
        elif current is not None and line:
            name, _, value = line.partition("=") if line.startswith("@") else _named(line)
            current[name] = value
    return keys


def _named(line):
    """"name"=value, where the name may hold escaped quotes and "="."""
    end = 1
    while line[end] != '"':
        end += 2 if line[end] == "\\" else 1
    return line[1:end].replace('\\"', '"').replace("\\\\", "\\"), "=", line[end + 2:]
