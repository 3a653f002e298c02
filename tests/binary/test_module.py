"""Structure of both shipped DLLs: machine, export table, stack cleanup, resource, imports."""
import re
import subprocess
import unittest

import pefile

from tarn_binary import ARCHES, EXPORTS, def_file_exports, dll_path

SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "msvcrt.dll",
               "ntdll.dll", "shell32.dll", "ole32.dll"}

VERSION_STRINGS = {
    "Comments": "Cryptogram,Processor,chmOpen,GetQzDbUser,CreateDir,DelDir,DelFile,GetDirFiles,"
                "Base64Encode,Base64Decode",
    "CompanyName": "",
    "FileDescription": "tarn DLL",
    "FileVersion": "1, 0, 0, 3",
    "InternalName": "tarn",
    "LegalCopyright": "",
    "LegalTrademarks": "",
    "OriginalFilename": "tarn.DLL",
    "PrivateBuild": "",
    "ProductVersion": "1, 0, 0, 3",
    "SpecialBuild": "",
}


class ModuleStructure:
    arch = None

    @classmethod
    def setUpClass(cls):
        cls.path = dll_path(cls.arch)
        cls.pe = pefile.PE(str(cls.path))

    def test_machine_and_kind(self):
        self.assertEqual(self.pe.FILE_HEADER.Machine, ARCHES[self.arch])
        self.assertTrue(self.pe.FILE_HEADER.Characteristics & 0x2000, "not a DLL")
        self.assertEqual(self.pe.FILE_HEADER.TimeDateStamp, 0, "timestamp breaks reproducibility")

    def test_export_directory(self):
        listed = def_file_exports()
        for name, ordinal in listed.items():
            self.assertEqual(EXPORTS[name][0], ordinal, f"{name} listed at the wrong ordinal")
        directory = self.pe.DIRECTORY_ENTRY_EXPORT
        self.assertEqual(directory.name, b"tarn.dll")
        self.assertEqual(directory.struct.Base, min(listed.values()))
        if len(listed) == len(EXPORTS):
            self.assertEqual(directory.struct.Base, 1)
        found = {s.name.decode(): s.ordinal for s in directory.symbols if s.name}
        self.assertEqual(found, listed)
        self.assertEqual(len(directory.symbols), len(listed), "unnamed exports")
        for symbol in directory.symbols:
            self.assertIsNone(symbol.forwarder, symbol.name)
            section = self.pe.get_section_by_rva(symbol.address)
            self.assertTrue(section.Characteristics & 0x20000000, f"{symbol.name} is not code")

    def test_version_resource(self):
        fixed = self.pe.VS_FIXEDFILEINFO[0]
        self.assertEqual((fixed.FileVersionMS, fixed.FileVersionLS), (0x10000, 3))
        self.assertEqual((fixed.ProductVersionMS, fixed.ProductVersionLS), (0x10000, 3))
        self.assertEqual((fixed.FileFlagsMask, fixed.FileFlags), (0x3F, 0))
        self.assertEqual((fixed.FileOS, fixed.FileType, fixed.FileSubtype), (4, 2, 0))

        [string_info] = [i for i in self.pe.FileInfo[0] if i.Key == b"StringFileInfo"]
        [table] = string_info.StringTable
        self.assertEqual(table.LangID, b"080404b0")
        strings = {k.decode(): v.decode() for k, v in table.entries.items()}
        self.assertEqual(set(strings) - {"ProductName"}, set(VERSION_STRINGS))
        for key, value in VERSION_STRINGS.items():
            self.assertEqual(strings[key], value, key)
        self.assertTrue(strings["ProductName"].strip())

        [var_info] = [i for i in self.pe.FileInfo[0] if i.Key == b"VarFileInfo"]
        self.assertEqual(var_info.Var[0].entry, {b"Translation": "0x0804 0x04b0"})

        languages = [lang.id for kind in self.pe.DIRECTORY_ENTRY_RESOURCE.entries
                     if kind.id == pefile.RESOURCE_TYPE["RT_VERSION"]
                     for name in kind.directory.entries for lang in name.directory.entries]
        self.assertEqual(languages, [2052])

    def test_imports_only_system_dlls(self):
        imported = {entry.dll.decode().lower() for entry in self.pe.DIRECTORY_ENTRY_IMPORT}
        self.assertLessEqual(imported, SYSTEM_DLLS)


class Win32Module(ModuleStructure, unittest.TestCase):
    arch = "win32"

    def test_each_export_removes_its_argument_bytes(self):
        base = self.pe.OPTIONAL_HEADER.ImageBase
        for symbol in self.pe.DIRECTORY_ENTRY_EXPORT.symbols:
            name = symbol.name.decode()
            start = base + symbol.address
            listing = subprocess.run(
                ["i686-w64-mingw32-objdump", "-d", f"--start-address={start:#x}",
                 f"--stop-address={start + 4096:#x}", str(self.path)],
                check=True, capture_output=True, text=True).stdout
            first_return = re.search(r"\tret\s*(\$0x[0-9a-f]+)?", listing)
            self.assertIsNotNone(first_return, name)
            popped = int(first_return.group(1)[1:], 16) if first_return.group(1) else 0
            self.assertEqual(popped, EXPORTS[name][1], name)


class Win64Module(ModuleStructure, unittest.TestCase):
    arch = "win64"


if __name__ == "__main__":
    unittest.main()
