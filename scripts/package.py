#!/usr/bin/env python3
"""Packs the release archives and their checksums from dist/.

The archives are reproducible: the same inputs give the same bytes, whenever and wherever they
are packed. Entries come in a fixed order with fixed permissions, and every entry carries the
time of the commit being built (SOURCE_DATE_EPOCH when set) instead of the files' own times.

Usage: package.py [OUTPUT_DIRECTORY]   (default: dist/)
"""
import hashlib
import os
import pathlib
import re
import subprocess
import sys
import time
import zipfile

ROOT = pathlib.Path(__file__).resolve().parents[1]
DIST = ROOT / "dist"


def version():
    header = (ROOT / "frame" / "version.h").read_text()
    return re.search(r'#define TARN_VERSION_TEXT "([^"]+)"', header).group(1)


def source_date():
    """Seconds since 1970 to stamp every entry with: the build's declared date, else the commit's."""
    if "SOURCE_DATE_EPOCH" in os.environ:
        return int(os.environ["SOURCE_DATE_EPOCH"])
    try:
        out = subprocess.run(["git", "-C", str(ROOT), "log", "-1", "--format=%ct"],
                             capture_output=True, text=True, check=True).stdout
        return int(out.strip())
    except (OSError, subprocess.CalledProcessError, ValueError):
        return 315532800  # 1980-01-01, the earliest time a zip entry can hold


def contents(arch):
    """(name in the archive, file on disk) of one architecture's archive, in archive order."""
    return [
        ("tarn.dll", DIST / arch / "tarn.dll"),
        ("tarn.exe", DIST / arch / "tarn.exe"),
        ("include/tarn.h", ROOT / "include" / "tarn.h"),
        ("tarn.def", ROOT / "frame" / "tarn.def"),
        ("powerbuilder/n_tarn.sru", ROOT / "powerbuilder" / "n_tarn.sru"),
        ("powerbuilder/tarn_external_32.txt", ROOT / "powerbuilder" / "tarn_external_32.txt"),
        ("powerbuilder/tarn_external_64.txt", ROOT / "powerbuilder" / "tarn_external_64.txt"),
        ("README.md", ROOT / "README.md"),
        ("CHANGELOG.md", ROOT / "CHANGELOG.md"),
    ]


def pack(archive, folder, files, stamp):
    date_time = time.gmtime(max(stamp, 315532800))[:6]
    with zipfile.ZipFile(archive, "w") as zip_file:
        for name, path in files:
            entry = zipfile.ZipInfo(f"{folder}/{name}", date_time=date_time)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.create_system = 3  # Unix, so the permissions below are what unzip applies
            mode = 0o755 if name.endswith((".dll", ".exe")) else 0o644
            entry.external_attr = (0o100000 | mode) << 16
            zip_file.writestr(entry, path.read_bytes(), compresslevel=9)


def main():
    output = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else DIST
    output.mkdir(parents=True, exist_ok=True)
    release = f"tarn-{version()}"
    stamp = source_date()
    summed = []
    for arch in ("win32", "win64"):
        archive = output / f"{release}-{arch}.zip"
        pack(archive, f"{release}-{arch}", contents(arch), stamp)
        summed.append(archive)
    lines = [f"{hashlib.sha256(p.read_bytes()).hexdigest()}  {p.name}\n" for p in summed]
    (output / "SHA256SUMS").write_text("".join(lines))
    print(f"package: {' '.join(p.name for p in summed)} SHA256SUMS in {output}")


if __name__ == "__main__":
    main()
