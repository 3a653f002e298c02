"""Reads the Base64 case tables that the native and Wine tests compile from
tests/support/base64_vectors.h, so that the emulated 32-bit DLL runs exactly the same cases."""
import re

from tarn_binary import ROOT

HEADER = ROOT / "tests" / "support" / "base64_vectors.h"

_TOKEN = re.compile(r'"((?:[^"\\]|\\.)*)"(?:sv)?|(-?\d+)|([{},])')
_ESCAPE = re.compile(r"\\([0-7]{1,3}|x[0-9a-fA-F]+|.)")
_SIMPLE = {"n": 10, "t": 9, "r": 13, "0": 0, "\\": 92, '"': 34, "'": 39, "?": 63}


def _unescape(literal):
    def one(match):
        code = match.group(1)
        if code[0] == "x":
            return chr(int(code[1:], 16))
        if code[0] in "01234567":
            return chr(int(code, 8))
        return chr(_SIMPLE[code])
    return _ESCAPE.sub(one, literal).encode("latin-1")


def _table(name):
    """The entries of `name[] = { {...}, ... };` as tuples of bytes and ints; adjacent string
    literals are joined as the compiler joins them."""
    text = HEADER.read_text()
    start = text.index(name + "[] = {")
    body = text[text.index("{", start) + 1:text.index("};", start)]
    body = re.sub(r"//[^\n]*", "", body)
    entries, fields, joining = [], None, False
    for string, number, mark in (m.groups() for m in _TOKEN.finditer(body)):
        if mark == "{":
            fields = []
        elif mark == "}" and fields is not None:
            entries.append(tuple(fields))
            fields = None
        elif string is not None:
            if joining:
                fields[-1] += _unescape(string)
            else:
                fields.append(_unescape(string))
            joining = True
        elif number is not None:
            fields.append(int(number))
        if string is None:
            joining = False
    return entries


def rfc4648_vectors():
    """(plain bytes, Base64 text) pairs."""
    return _table("kRfc4648")


def decode_cases():
    """(text, room, result, written) tuples."""
    return _table("kDecodeCases")
