"""The master's autorun.inf as Windows reads it: bytes taken one character
each in Windows-1252, values from the first [autorun] section, names in any
case, blanks and one pair of quotes around a value dropped. Where Windows
versions read the file otherwise than its author wrote it (a byte-order
mark before [autorun], UTF-16, UTF-8 text), make-image says so rather than
guess, as tarvo-check does."""

import re

AUTORUN = "autorun.inf"
SECTION = "autorun"
UTF8_MARK = b"\xef\xbb\xbf"
UTF16_MARKS = (b"\xff\xfe", b"\xfe\xff")


def autorun_file(master):
    """The master's autorun.inf, in whatever case its name is; None without
    one."""
    return next((path for path in master.iterdir() if path.name.lower() == AUTORUN and path.is_file()), None)


def _section_name(line):
    """The name of the section `line` begins, in lower case; None for a line
    of another kind."""
    line = line.strip()
    if not line.startswith("[") or "]" not in line:
        return None
    return line[1:line.rindex("]")].strip().lower()


def encoding_problem(data):
    """Why Windows reads the bytes `data` of an autorun.inf otherwise than
    they were written, or None."""
    if data.startswith(UTF16_MARKS):
        return "UTF-16 text, which Windows 95, 98 and ME do not read"
    body = data[len(UTF8_MARK):] if data.startswith(UTF8_MARK) else data
    lines = body.decode("cp1252", errors="replace").splitlines()
    if data.startswith(UTF8_MARK) and lines and _section_name(lines[0]) == SECTION:
        return "a UTF-8 byte-order mark before its [autorun], which hides the section from Windows"
    try:
        body.decode("utf-8")
    except UnicodeDecodeError:
        return None
    # Comments, which Windows skips, may hold what they like.
    shown = next((line for line in lines if not line.isascii() and not line.strip().startswith(";")), None)
    return f"UTF-8 text, which Windows reads as Windows-1252 ({shown.strip()!r})" if shown else None


def autorun_values(inf):
    """{key: value} of the first [autorun] section of `inf`, keys in lower
    case, as Windows reads them."""
    values, section = {}, None
    for line in inf.read_bytes().decode("cp1252", errors="replace").splitlines():
        name = _section_name(line)
        if name is not None:
            if section == SECTION:
                break
            section = name
            continue
        key, equals, value = line.strip().partition("=")
        if section != SECTION or not equals or key.startswith(";"):
            continue
        value = value.strip()
        if len(value) >= 2 and value[0] == value[-1] and value[0] in "\"'":
            value = value[1:-1]
        values.setdefault(key.strip().lower(), value)
    return values


def icon_file(value):
    """The file of an icon= value ("file[,index]", blanks around either
    part, quotes around the file), from the disc's root ("intface/x.ico")."""
    file, comma, index = value.rpartition(",")
    if not comma or not re.fullmatch(r"-?\d+", index.strip()):
        file = value
    file = file.strip()
    if len(file) >= 2 and file[0] == file[-1] == '"':
        file = file[1:-1]
    while file.startswith(("\\", ".\\")):
        file = file[1:] if file[0] == "\\" else file[2:]
    return file.replace("\\", "/")
