"""The 32-bit tarn.dll's memory-only exports, run for real in an x86 emulator, on every code
path the emulator can execute: the processor each test class presents decides the path."""
import base64
import random
import unittest

from shared_cases import decode_cases, rfc4648_vectors
from tarn_binary import EXPORTS, dll_path
from x86_emulator import CpuProfile, Emulated32Dll

SENTINEL = 0xA5


def cryptogram_reference(text, key):
    k = key[0] if key else 0
    return bytes(t if t == k else t ^ k for t in text)


def decode_reference(text, room):
    """Base64Decode's result and the bytes it leaves in a room-byte target of sentinels."""
    values = {c: i for i, c in enumerate(
        b"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/")}
    out = bytearray()
    for s in range(0, len(text), 4):
        quad = [text[s + i] if s + i < len(text) else None for i in range(4)]
        if any(c is not None and c != ord("=") and c not in values for c in quad):
            return -1, bytes(out) + bytes([SENTINEL]) * (room - len(out))
        q = [values.get(c, 0) if c is not None else 0 for c in quad]
        count = 1 if quad[2] in (None, ord("=")) else 2 if quad[3] in (None, ord("=")) else 3
        if len(out) + count > room:
            return -2, bytes(out) + bytes([SENTINEL]) * (room - len(out))
        out += bytes([(q[0] << 2 | q[1] >> 4) & 0xFF, (q[1] << 4 | q[2] >> 2) & 0xFF,
                      (q[2] << 6 | q[3]) & 0xFF][:count])
        if count < 3:
            break
    return len(out), bytes(out) + bytes(room - len(out))


class EmulatedExports:
    """The tests every processor profile runs; subclasses name the profile and its paths."""
    cpu = None
    base64_vector_instructions = None  # whether the Base64 exports run PSHUFB
    cipher_vector_instructions = None  # whether Cryptogram runs PCMPEQB

    @classmethod
    def setUpClass(cls):
        cls.dll = Emulated32Dll(dll_path("win32"), cls.cpu)

    def call(self, name, *args):
        result, popped = self.dll.call(name, *args)
        self.assertEqual(popped, EXPORTS[name][1], name)
        return result

    def convert(self, export, source_bytes, room):
        """Runs a Base64 export into a target of `room` bytes; nothing past it may change."""
        self.dll.reset_heap()
        source = self.dll.alloc(source_bytes)
        target = self.dll.alloc(bytes([SENTINEL]) * (room + 8))
        result = self.call(export, source, len(source_bytes), target, room)
        self.assertEqual(self.dll.read(target + room, 8), bytes([SENTINEL]) * 8)
        return result, self.dll.read(target, room)

    def encode(self, data, room):
        return self.convert("Base64Encode", data, room)

    def decode(self, text, room):
        return self.convert("Base64Decode", text, room)

    def run_cryptogram(self, text, key):
        self.dll.reset_heap()
        text_address = self.dll.alloc(text + b"\0" + b"\xaa" * 8)
        key_address = self.dll.alloc(key + b"\0")
        self.assertEqual(self.call("Cryptogram", text_address, key_address), 0)
        self.assertEqual(self.dll.read(text_address + len(text), 9), b"\0" + b"\xaa" * 8)
        return self.dll.read(text_address, len(text))

    def test_rfc4648_vectors_both_ways(self):
        for plain, text in rfc4648_vectors():
            self.assertEqual(self.encode(plain, len(text)), (len(text), text), plain)
            self.assertEqual(self.decode(text, len(plain) + 3), (len(plain), plain + bytes(3)),
                             text)

    def test_the_decode_cases_every_tier_runs(self):
        for text, room, result, written in decode_cases():
            rest = (b"\0" if result >= 0 else bytes([SENTINEL])) * (room - len(written))
            self.assertEqual(self.decode(text, room), (result, written + rest), (text, room))

    def test_base64_round_trips_every_short_length(self):
        rng = random.Random(1)
        for length in list(range(0, 70)) + [300, 1001]:
            data = bytes(rng.randrange(256) for _ in range(length))
            text = base64.b64encode(data)
            self.assertEqual(self.encode(data, len(text) + 1), (len(text), text + b"\0"))
            self.assertEqual(self.decode(text, length), (length, data))

    def test_base64_decode_rules_and_room(self):
        rng = random.Random(2)
        clean = base64.b64encode(bytes(rng.randrange(256) for _ in range(60)))  # 80 characters
        texts = [b"Zg==Zm9v", b"Zg=!", b"=Zm9Zg==", b"Zm9vZ", b"Zm9v Zg=="]
        for at in range(0, len(clean), 5):
            for unusual in (b"=", b"!", b"\0", b"\x80"):
                texts.append(clean[:at] + unusual + clean[at + 1:])
        for text in texts:
            for room in (44, 45, 60, 61):
                self.assertEqual(self.decode(text, room), decode_reference(text, room),
                                 (text, room))

    def test_base64_encode_refuses_a_short_target(self):
        self.assertEqual(self.encode(b"abcd", 7), (-2, bytes([SENTINEL]) * 7))
        self.assertEqual(self.encode(b"", 3), (0, b"\0\0\0"))

    def test_cryptogram_matches_the_rule_and_restores(self):
        rng = random.Random(3)
        for length in list(range(0, 80)) + [1000, 4099]:
            text = bytes(rng.randrange(1, 256) for _ in range(length))
            key = bytes([rng.randrange(0, 256)]) + b"tail"
            once = self.run_cryptogram(text, key)
            self.assertEqual(once, cryptogram_reference(text, key), length)
            self.assertEqual(self.run_cryptogram(once, key), text, length)
        self.assertEqual(self.run_cryptogram(b"abc", b""), b"abc")
        self.assertEqual(self.run_cryptogram(b"kkkk", b"k"), b"kkkk")

    def test_the_profile_decides_the_path(self):
        executed = []
        self.dll.trace_instructions(executed.append)
        self.encode(bytes(range(200)), 268)
        self.decode(base64.b64encode(bytes(range(200))), 200)
        ran_pshufb = any(i.startswith(b"\x66\x0f\x38\x00") for i in executed)
        executed.clear()
        self.run_cryptogram(bytes(range(1, 200)), b"k")
        ran_pcmpeqb = any(i.startswith(b"\x66\x0f\x74") for i in executed)
        self.assertEqual(ran_pshufb, self.base64_vector_instructions)
        self.assertEqual(ran_pcmpeqb, self.cipher_vector_instructions)


class ScalarOnly(EmulatedExports, unittest.TestCase):
    cpu = CpuProfile(sse2=False, ssse3=False)
    base64_vector_instructions = False
    cipher_vector_instructions = False


class Sse2(EmulatedExports, unittest.TestCase):
    """Base64 stays scalar; the cipher runs its SSE2 loop."""
    cpu = CpuProfile(sse2=True, ssse3=False)
    base64_vector_instructions = False
    cipher_vector_instructions = True


class Ssse3(EmulatedExports, unittest.TestCase):
    cpu = CpuProfile(sse2=True, ssse3=True)
    base64_vector_instructions = True
    cipher_vector_instructions = True


class Avx2WithoutOsSupport(EmulatedExports, unittest.TestCase):
    """AVX2 in CPUID but YMM state not enabled in XCR0: the DLL must stay on SSSE3/SSE2."""
    cpu = CpuProfile(sse2=True, ssse3=True, avx2=True, os_saves_ymm=False)
    base64_vector_instructions = True
    cipher_vector_instructions = True


class Avx2IsBeyondTheEmulator(unittest.TestCase):
    def test_a_processor_with_avx2_makes_the_dll_run_256_bit_code(self):
        dll = Emulated32Dll(dll_path("win32"), CpuProfile(avx2=True, os_saves_ymm=True))
        dll.reset_heap()
        text = dll.alloc(b"x" * 100 + b"\0")
        key = dll.alloc(b"k\0")
        with self.assertRaisesRegex(RuntimeError, "INSN_INVALID"):
            dll.call("Cryptogram", text, key)


if __name__ == "__main__":
    unittest.main()
