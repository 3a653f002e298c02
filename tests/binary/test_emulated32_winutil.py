"""The 32-bit window exports run in the x86 emulator over Python stand-ins for USER32, GDI32,
ADVAPI32 and the loader: argument layout (a double among 32-bit values), stack cleanup, and
the stdcall call into the help engine."""
import itertools
import struct
import unittest

from tarn_binary import EXPORTS, dll_path
from x86_emulator import Emulated32Dll

HKEY_CLASSES_ROOT = 0x80000000
KEY_READ = 0x20019
ENGINE_KEY = b"CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32"
ENGINE_PATH = b"C:\\windows\\system32\\hhctrl.ocx"
WINDOW = 0x5A5A


class Platform:
    """Stand-ins that log each platform call with its arguments."""

    def __init__(self, dll):
        self.dll = dll
        self.calls = []
        self.handles = itertools.count(0x1000)

    def stdcall(self, name, argument_count, result=lambda args: 0, dll_name=None):
        def run(esp):
            args = [self.dll.argument(esp, i) for i in range(argument_count)]
            self.calls.append((name, *args))
            return result(args)
        self.dll.handle(f"{dll_name}!{name}" if dll_name else name, run, 4 * argument_count)

    def new_handle(self, args):
        return next(self.handles)

    def memchr(self, esp):  # cdecl: the caller pops
        address, byte, count = (self.dll.argument(esp, i) for i in range(3))
        data = self.dll.read(address, count)
        found = data.find(bytes([byte & 0xFF]))
        return 0 if found < 0 else address + found


class EmulatedProcessor(unittest.TestCase):
    def setUp(self):
        self.dll = Emulated32Dll(dll_path("win32"))
        self.platform = p = Platform(self.dll)

        def client_rect(args):
            self.dll.uc.mem_write(args[1], struct.pack("<4i", 0, 0, 200, 20))
            return 1

        def text_metrics(args):
            self.dll.uc.mem_write(args[1], struct.pack("<i", 16))  # tmHeight comes first
            return 1

        def text_out(args):
            p.calls[-1] = ("TextOutA", args[1], args[2], self.dll.read(args[3], args[4]))
            return 1

        p.stdcall("GetClientRect", 2, client_rect, "USER32.dll")
        p.stdcall("GetDC", 1, p.new_handle, "USER32.dll")
        p.stdcall("ReleaseDC", 2, lambda a: 1, "USER32.dll")
        p.stdcall("GetTextMetricsA", 2, text_metrics, "GDI32.dll")
        p.stdcall("TextOutA", 5, text_out, "GDI32.dll")
        for name, count in [("CreateSolidBrush", 1), ("CreateCompatibleDC", 1),
                            ("CreateCompatibleBitmap", 3)]:
            p.stdcall(name, count, p.new_handle, "GDI32.dll")
        for name, count in [("SelectObject", 2), ("PatBlt", 6), ("BitBlt", 9),
                            ("SetTextColor", 2), ("SetBkMode", 2), ("SetTextAlign", 2),
                            ("DeleteDC", 1), ("DeleteObject", 1)]:
            p.stdcall(name, count, lambda a: 1, "GDI32.dll")

    def test_double_argument_reaches_the_arithmetic_and_twelve_bytes_are_popped(self):
        for fraction, filled, text in [(0.29, 57, b"28%"), (0.5, 100, b"50%"),
                                       (-0.25, -50, b"-25%"), (float("nan"), 0, b"0%")]:
            self.platform.calls.clear()
            result, popped = self.dll.call("Processor", WINDOW, fraction)
            self.assertEqual((result, popped), (0, EXPORTS["Processor"][1]))
            calls = self.platform.calls
            pat_blts = [c[2:6] for c in calls if c[0] == "PatBlt"]
            as_signed = [tuple(struct.unpack("<i", struct.pack("<I", v))[0] for v in c)
                         for c in pat_blts]
            self.assertEqual(as_signed, [(0, 0, filled, 20), (filled, 0, 200 - filled, 20),
                                         (0, 0, 200, 20)], fraction)
            self.assertIn(("TextOutA", 100, 18, text), calls)
            self.assertEqual([c[-1] for c in calls if c[0] == "BitBlt"], [0xCC0020, 0x660046])
            self.assertEqual([c[1] for c in calls if c[0] == "CreateSolidBrush"],
                             [0xFFFFFF, 0xFF0000, 0x000000])
            self.assertEqual(calls[0][0], "CreateSolidBrush")
            self.assertEqual(calls[-1][0], "DeleteObject")


class EmulatedChmOpen(unittest.TestCase):
    def setUp(self):
        self.dll = Emulated32Dll(dll_path("win32"))
        self.platform = p = Platform(self.dll)
        self.engine = self.dll.make_stub("HtmlHelpA")

        def open_key(args):
            p.calls[-1] = ("RegOpenKeyExA", args[0], self.dll.string(args[1]), args[2], args[3])
            self.dll.uc.mem_write(args[4], struct.pack("<I", 0x4B4B))
            return 0

        def query_value(args):
            size = self.dll.dword(args[5])
            p.calls[-1] = ("RegQueryValueExA", args[0], self.dll.string(args[1]), size)
            value = ENGINE_PATH + b"\0"
            self.dll.uc.mem_write(args[4], value)
            self.dll.uc.mem_write(args[5], struct.pack("<I", len(value)))
            return 0

        def load_library(args):
            p.calls[-1] = ("LoadLibraryA", self.dll.string(args[0]))
            return 0x10000000

        p.stdcall("RegOpenKeyExA", 5, open_key, "ADVAPI32.dll")
        p.stdcall("RegQueryValueExA", 6, query_value, "ADVAPI32.dll")
        p.stdcall("RegCloseKey", 1, lambda a: 0, "ADVAPI32.dll")
        p.stdcall("LoadLibraryA", 1, load_library, "KERNEL32.dll")
        p.stdcall("GetProcAddress", 2, lambda a: self.engine, "KERNEL32.dll")
        p.stdcall("HtmlHelpA", 4, lambda a: 0x4848, "stub")
        self.dll.handle("msvcrt.dll!memchr", p.memchr, 0)

    def test_loads_once_and_calls_the_engine_with_sixteen_bytes(self):
        file = self.dll.alloc(b"Z:\\help\\guide.chm\0")
        for action in (0, 2, -1):
            self.assertEqual(self.dll.call("chmOpen", 0x77, file, action, 5), (1, 16))
        self.assertEqual(self.platform.calls, [])

        self.assertEqual(self.dll.call("chmOpen", 0x77, file, 1, 0xDEADBEEF), (1, 16))
        self.assertEqual(self.platform.calls, [
            ("RegOpenKeyExA", HKEY_CLASSES_ROOT, ENGINE_KEY, 0, KEY_READ),
            ("RegQueryValueExA", 0x4B4B, b"", 260),
            ("RegCloseKey", 0x4B4B),
            ("LoadLibraryA", ENGINE_PATH),
            ("GetProcAddress", 0x10000000, 14),
            ("HtmlHelpA", 0x77, file, 0, 0xDEADBEEF),
        ])
        self.platform.calls.clear()
        self.assertEqual(self.dll.call("chmOpen", 0, 0, 1, 0), (1, EXPORTS["chmOpen"][1]))
        self.assertEqual(self.platform.calls, [("HtmlHelpA", 0, 0, 0, 0)])


if __name__ == "__main__":
    unittest.main()
