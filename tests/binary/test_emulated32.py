"""The 32-bit tarn.dll's memory-only exports, run for real in an x86 emulator."""
import random
import unittest

from tarn_binary import EXPORTS, dll_path
from x86_emulator import Emulated32Dll


def cryptogram_reference(text, key):
    k = key[0] if key else 0
    return bytes(t if t == k else t ^ k for t in text)


class EmulatedCryptogram(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dll = Emulated32Dll(dll_path("win32"))

    def run_cryptogram(self, text, key):
        self.dll.reset_heap()
        text_address = self.dll.alloc(text + b"\0" + b"\xaa" * 8)
        key_address = self.dll.alloc(key + b"\0")
        result, popped = self.dll.call("Cryptogram", text_address, key_address)
        self.assertEqual(popped, EXPORTS["Cryptogram"][1])
        self.assertEqual(result, 0)
        self.assertEqual(self.dll.read(text_address + len(text), 9), b"\0" + b"\xaa" * 8)
        return self.dll.read(text_address, len(text))

    def test_matches_the_rule_and_restores(self):
        rng = random.Random(3)
        for length in list(range(0, 80)) + [1000, 4099]:
            text = bytes(rng.randrange(1, 256) for _ in range(length))
            key = bytes([rng.randrange(0, 256)]) + b"tail"
            once = self.run_cryptogram(text, key)
            self.assertEqual(once, cryptogram_reference(text, key), length)
            self.assertEqual(self.run_cryptogram(once, key), text, length)

    def test_empty_key_and_key_byte_runs(self):
        self.assertEqual(self.run_cryptogram(b"abc", b""), b"abc")
        self.assertEqual(self.run_cryptogram(b"kkkk", b"k"), b"kkkk")


if __name__ == "__main__":
    unittest.main()
