"""What every build of tarn.dll must look like from outside, and helpers to read it."""
import os
import pathlib
import re

ROOT = pathlib.Path(__file__).resolve().parents[2]
DIST = pathlib.Path(os.environ.get("TARN_DIST", ROOT / "dist"))

# name: (ordinal, bytes of arguments a 32-bit caller pushes)
EXPORTS = {
    "Base64Decode": (1, 16),
    "Base64Encode": (2, 16),
    "CreateDir": (3, 4),
    "Cryptogram": (4, 8),
    "DelDir": (5, 4),
    "DelFile": (6, 4),
    "GetDirFiles": (7, 12),
    "GetQzDbUser": (8, 8),
    "Processor": (9, 12),
    "chmOpen": (10, 16),
}

ARCHES = {"win32": 0x14C, "win64": 0x8664}


def dll_path(arch):
    return DIST / arch / "tarn.dll"


def def_file_exports():
    """The names and ordinals the module definition file lists."""
    text = (ROOT / "frame" / "tarn.def").read_text()
    return {m.group(1): int(m.group(2)) for m in re.finditer(r"^\s+(\w+)\s+@(\d+)", text, re.M)}
