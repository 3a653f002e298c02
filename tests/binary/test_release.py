"""The release archives that build.sh leaves in dist/: what they hold and their checksums."""
import hashlib
import re
import unittest
import zipfile

import pefile

from tarn_binary import ARCHES, DIST, ROOT

VERSION = re.search(r'TARN_VERSION_TEXT "([^"]+)"',
                    (ROOT / "frame" / "version.h").read_text()).group(1)
FILES = {"tarn.dll", "tarn.exe", "include/tarn.h", "tarn.def", "powerbuilder/n_tarn.sru",
         "powerbuilder/tarn_external_32.txt", "powerbuilder/tarn_external_64.txt", "README.md",
         "CHANGELOG.md"}


class ReleaseArchives(unittest.TestCase):
    def test_each_archive_holds_its_own_architecture(self):
        for arch, machine in ARCHES.items():
            with self.subTest(arch), zipfile.ZipFile(DIST / f"tarn-{VERSION}-{arch}.zip") as zf:
                folder = f"tarn-{VERSION}-{arch}/"
                self.assertEqual({n.removeprefix(folder) for n in zf.namelist()}, FILES)
                dll = zf.read(folder + "tarn.dll")
                self.assertEqual(dll, (DIST / arch / "tarn.dll").read_bytes())
                for program in ("tarn.dll", "tarn.exe"):
                    pe = pefile.PE(data=zf.read(folder + program), fast_load=True)
                    self.assertEqual(pe.FILE_HEADER.Machine, machine, program)
                self.assertEqual(zf.read(folder + "tarn.def"),
                                 (ROOT / "frame" / "tarn.def").read_bytes())

    def test_checksums_match_the_archives(self):
        lines = (DIST / "SHA256SUMS").read_text().splitlines()
        listed = dict(reversed(line.split("  ", 1)) for line in lines)
        self.assertEqual(set(listed), {f"tarn-{VERSION}-{arch}.zip" for arch in ARCHES})
        for name, digest in listed.items():
            self.assertEqual(hashlib.sha256((DIST / name).read_bytes()).hexdigest(), digest, name)


if __name__ == "__main__":
    unittest.main()
