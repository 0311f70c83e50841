"""Ids by name, read from resources/command_ids.h, so that tests never hold bare
numbers: `#define NAME VALUE` lines, enumerators and `constexpr` constants."""
import re
from pathlib import Path

HEADER = Path(__file__).resolve().parents[2] / "resources" / "command_ids.h"

_NUMBER = r"(0[xX][0-9a-fA-F]+|\d+)[uUlL]*"
_DEFINE = re.compile(r"^\s*#\s*define\s+([A-Za-z_]\w*)\s+\(?\s*" + _NUMBER + r"\s*\)?\s*(?://.*|/\*.*)?$")
_CONSTANT = re.compile(r"^\s*(?:static\s+)?constexpr\s+[\w:]+\s+([A-Za-z_]\w*)\s*=\s*" + _NUMBER + r"\s*;")
_ENUMERATOR = re.compile(r"^\s*([A-Za-z_]\w*)\s*(?:=\s*" + _NUMBER + r")?\s*,?\s*(?://.*)?$")


def parse(text):
    """Name -> integer for every constant in the header text."""
    ids = {}
    in_enum = False
    next_value = 0
    for line in text.splitlines():
        if not in_enum and re.match(r"^\s*enum\b", line):
            in_enum = "}" not in line
            next_value = 0
            continue
        if in_enum:
            if "}" in line:
                in_enum = False
                continue
            match = _ENUMERATOR.match(line)
            if match and match.group(1) not in ("{",):
                if match.group(2):
                    next_value = int(match.group(2), 0)
                ids[match.group(1)] = next_value
                next_value += 1
            continue
        match = _DEFINE.match(line) or _CONSTANT.match(line)
        if match:
            ids[match.group(1)] = int(match.group(2), 0)
    return ids


_cache = None


def id_of(name):
    global _cache
    if _cache is None:
        _cache = parse(HEADER.read_text(encoding="utf-8"))
    if name not in _cache:
        raise KeyError(f"{name} is not defined in {HEADER}")
    return _cache[name]
