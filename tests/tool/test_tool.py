"""The tarn tool end to end: the program named by TARN_TOOL run as a user would run it."""
import base64
import os
import pathlib
import pty
import random
import re
import subprocess
import tempfile
import unittest

ROOT = pathlib.Path(__file__).resolve().parents[2]
TOOL = os.environ.get("TARN_TOOL", str(ROOT / "build" / "native" / "cli" / "tarn"))
KEY_BYTE = ord("m")  # the first byte of the library's fixed credential key


def enciphered(value: bytes, key_byte: int = KEY_BYTE) -> bytes:
    """The cipher's rule, written out independently: XOR with the key byte except the key byte."""
    return bytes(b if b == key_byte else b ^ key_byte for b in value)


def credential_file(user: bytes, password: bytes) -> bytes:
    return b"%02d" % len(user) + enciphered(user) + b"%02d" % len(password) + enciphered(password)


class ToolTest(unittest.TestCase):
    def setUp(self):
        scratch = tempfile.TemporaryDirectory()
        self.addCleanup(scratch.cleanup)
        self.dir = pathlib.Path(scratch.name)

    def run_tool(self, *args, stdin=b""):
        return subprocess.run([TOOL, *args], input=stdin, capture_output=True, cwd=self.dir,
                              timeout=120)

    def entries(self):
        return sorted(p.name for p in self.dir.iterdir())


class Usage(ToolTest):
    def test_version_comes_from_the_version_header(self):
        header = (ROOT / "frame" / "version.h").read_text()
        version = re.search(r'TARN_VERSION_TEXT "([^"]+)"', header).group(1)
        result = self.run_tool("--version")
        self.assertEqual((result.returncode, result.stdout.decode().strip()),
                         (0, f"tarn {version}"))

    def test_every_command_has_help(self):
        for command in ([], ["credentials"], ["credentials", "write"], ["credentials", "read"],
                        ["credentials", "check"], ["cipher"]):
            result = self.run_tool(*command, "--help")
            self.assertEqual(result.returncode, 0, command)
            self.assertIn(b"Usage:", result.stdout, command)
            self.assertIn(b"Exit codes", result.stdout, command)

    def test_wrong_usage_exits_with_2(self):
        for command in (["frobnicate"], [], ["credentials", "write"], ["credentials", "check"],
                        ["cipher"], ["credentials", "read", "a", "b"]):
            self.assertEqual(self.run_tool(*command).returncode, 2, command)


class CredentialsWrite(ToolTest):
    def test_written_file_has_the_exact_format_and_reads_back(self):
        cases = [
            (b"dbo_reader", b"s3cret"),
            (b"gag", b"g\xe9\x80m"),  # 'g' enciphers to a line feed: binary output matters
            (b"u" * 99, b"p" * 99),
            (b"sa", b""),
        ]
        for user, password in cases:
            with self.subTest(user=user):
                target = self.dir / "qzon.id"
                target.unlink(missing_ok=True)
                result = self.run_tool("credentials", "write", "--user", user, "-o", "qzon.id",
                                       stdin=password + b"\n")
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertEqual(target.read_bytes(), credential_file(user, password))
                self.assertEqual(self.entries(), ["qzon.id"])
                shown = self.run_tool("credentials", "read", "--show-password")
                self.assertEqual(shown.stdout, user + b"\n" + password + b"\n")
                self.assertEqual(self.run_tool("credentials", "read", "qzon.id").stdout,
                                 user + b"\n")

    def test_password_line_end_is_not_part_of_it(self):
        for stdin in (b"pw", b"pw\n", b"pw\r\n"):
            result = self.run_tool("credentials", "write", "-u", "u", stdin=stdin)
            self.assertEqual(result.stdout, credential_file(b"u", b"pw"), stdin)

    def test_refused_values_exit_2_and_leave_no_file(self):
        cases = {
            "empty user name": (b"", b"pw\n", b"user name is empty"),
            "user name of 100 bytes": (b"u" * 100, b"pw\n", b"100 bytes"),
            "password of 100 bytes": (b"u", b"p" * 100 + b"\n", b"100 bytes"),
            "zero byte in the password": (b"u", b"p\0w\n", b"zero byte"),
            "two lines of input": (b"u", b"pw\nmore\n", b"more than one line"),
        }
        for name, (user, stdin, wording) in cases.items():
            with self.subTest(name):
                result = self.run_tool("credentials", "write", "-u", user, "-o", "qzon.id",
                                       stdin=stdin)
                self.assertEqual(result.returncode, 2)
                self.assertIn(wording, result.stderr)
                self.assertEqual(self.entries(), [])

    def test_existing_file_is_replaced_only_with_force(self):
        target = self.dir / "qzon.id"
        target.write_bytes(b"keep me")
        refused = self.run_tool("credentials", "write", "-u", "new", "-o", "qzon.id", stdin=b"p")
        self.assertEqual(refused.returncode, 2)
        self.assertIn(b"--force", refused.stderr)
        self.assertEqual(target.read_bytes(), b"keep me")

        forced = self.run_tool("credentials", "write", "-u", "new", "-o", "qzon.id", "--force",
                               stdin=b"p")
        self.assertEqual(forced.returncode, 0, forced.stderr)
        self.assertEqual(target.read_bytes(), credential_file(b"new", b"p"))
        self.assertEqual(self.entries(), ["qzon.id"], "temporary file left behind")
        if os.name == "posix":
            self.assertEqual(target.stat().st_mode & 0o777, 0o600)

    def test_something_other_than_a_file_is_never_replaced(self):
        (self.dir / "folder").mkdir()
        result = self.run_tool("credentials", "write", "-u", "u", "-o", "folder", "--force",
                               stdin=b"p")
        self.assertEqual(result.returncode, 2)
        self.assertIn(b"not a regular file", result.stderr)
        self.assertTrue((self.dir / "folder").is_dir())
        self.assertEqual(self.entries(), ["folder"])

    def test_unwritable_directory_fails_with_1(self):
        result = self.run_tool("credentials", "write", "-u", "u", "-o", "missing/qzon.id",
                               stdin=b"p")
        self.assertEqual(result.returncode, 1)
        self.assertIn(b"cannot write missing/qzon.id", result.stderr)
        self.assertEqual(self.entries(), [])


class CredentialsReadAndCheck(ToolTest):
    def test_check_accepts_well_formed_and_explains_malformed_files(self):
        cases = [
            (credential_file(b"dbo", b"pw"), 0, b"well formed (user name of 3 bytes, password"),
            (b"", 1, b"the file is empty"),
            (b"a1xyz", 1, b"user name's length at offset 0 is \"a1\""),
            (b"05abc", 1, b"user name should be 5 bytes long"),
            (b"01a09xyz", 1, b"password should be 9 bytes long"),
            (credential_file(b"dbo", b"pw") + b"\r\n", 1, b"2 bytes follow the password"),
        ]
        for content, exit_code, wording in cases:
            with self.subTest(content=content):
                (self.dir / "qzon.id").write_bytes(content)
                result = self.run_tool("credentials", "check", "qzon.id")
                self.assertEqual(result.returncode, exit_code)
                self.assertIn(wording, result.stdout)

    def test_read_gives_what_applications_read_and_warns_about_malformed_files(self):
        (self.dir / "qzon.id").write_bytes(credential_file(b"dbo", b"pw") + b"junk")
        result = self.run_tool("credentials", "read", "--show-password")
        self.assertEqual((result.returncode, result.stdout), (0, b"dbo\npw\n"))
        self.assertIn(b"not well formed", result.stderr)

    def test_missing_file_fails_with_1(self):
        for command in (["read"], ["read", "other.id"], ["check", "qzon.id"]):
            result = self.run_tool("credentials", *command)
            self.assertEqual(result.returncode, 1, command)
            self.assertIn(b"cannot read", result.stderr)


class Cipher(ToolTest):
    def test_matches_the_cipher_and_restores_any_input(self):
        rng = random.Random(5)
        text = bytes(rng.randrange(1, 256) for _ in range(300_000))
        once = self.run_tool("cipher", "--key", "kzz", stdin=text)
        self.assertEqual(once.returncode, 0)
        self.assertEqual(once.stdout, enciphered(text, ord("k")))
        with_zeros = text[:1000] + b"\0\0" + text[1000:2000] + b"\0"
        twice = self.run_tool("cipher", "-k", "k",
                              stdin=self.run_tool("cipher", "-k", "k", stdin=with_zeros).stdout)
        self.assertEqual(twice.stdout, with_zeros)

    def test_empty_key_is_refused(self):
        self.assertEqual(self.run_tool("cipher", "--key", "", stdin=b"x").returncode, 2)


class Base64(ToolTest):
    @classmethod
    def setUpClass(cls):
        cls.data = random.Random(9).randbytes(6 * 1024 * 1024 + 1)  # several chunks, a tail

    def test_files_round_trip_and_match_the_standard(self):
        (self.dir / "data.bin").write_bytes(self.data)
        encoded = self.run_tool("base64", "encode", "data.bin", "data.b64")
        self.assertEqual(encoded.returncode, 0, encoded.stderr)
        self.assertEqual((self.dir / "data.b64").read_bytes(), base64.b64encode(self.data))
        decoded = self.run_tool("base64", "decode", "data.b64", "back.bin")
        self.assertEqual(decoded.returncode, 0, decoded.stderr)
        self.assertEqual((self.dir / "back.bin").read_bytes(), self.data)
        self.assertEqual(self.entries(), ["back.bin", "data.b64", "data.bin"])

    def test_streams_through_standard_input_and_output(self):
        text = self.run_tool("base64", "encode", stdin=self.data).stdout
        self.assertEqual(text, base64.b64encode(self.data))
        self.assertEqual(self.run_tool("base64", "decode", "-", "-", stdin=text).stdout, self.data)

    def test_decode_follows_the_library_rules(self):
        cases = [
            (b"aGVsbG8=", b"hello"),
            (b"aGVsbG8=\n", b"hello"),       # one line end at the very end is no part of it
            (b"aGVsbG8h\r\n", b"hello!"),
            (b"aGVsbG8", b"hello"),          # a short last quad decodes as if padded
            (b"aGk=garbage!", b"hi"),        # text after a padded quad is not read
            (b"", b""),
        ]
        for text, data in cases:
            result = self.run_tool("base64", "decode", stdin=text)
            self.assertEqual((result.returncode, result.stdout), (0, data), text)

    def test_invalid_character_reports_its_offset_and_writes_no_file(self):
        text = bytearray(base64.b64encode(self.data))
        for offset, byte in ((3_000_001, ord("-")), (5, ord("\n")), (len(text) - 9, 0xE9)):
            with self.subTest(offset=offset):
                broken = bytes(text[:offset]) + bytes([byte]) + bytes(text[offset + 1:])
                (self.dir / "in.b64").write_bytes(broken)
                (self.dir / "out.bin").write_bytes(b"previous")
                result = self.run_tool("base64", "decode", "in.b64", "out.bin")
                self.assertEqual(result.returncode, 1)
                self.assertIn(b"byte 0x%02X at offset %d" % (byte, offset), result.stderr)
                self.assertEqual((self.dir / "out.bin").read_bytes(), b"previous")
                self.assertEqual(self.entries(), ["in.b64", "out.bin"])

    def test_progress_bar_only_on_a_terminal(self):
        (self.dir / "data.bin").write_bytes(self.data)
        quiet = self.run_tool("base64", "encode", "data.bin", "a.b64")
        self.assertEqual(quiet.stderr, b"")
        main_end, tool_end = pty.openpty()
        try:
            process = subprocess.run([TOOL, "base64", "encode", "data.bin", "b.b64"],
                                     stderr=tool_end, cwd=self.dir, timeout=120)
            os.close(tool_end)
            tool_end = None
            shown = b""
            while True:
                try:
                    chunk = os.read(main_end, 4096)
                except OSError:
                    break
                if not chunk:
                    break
                shown += chunk
        finally:
            os.close(main_end)
            if tool_end is not None:
                os.close(tool_end)
        self.assertEqual(process.returncode, 0)
        self.assertIn(b"100%", shown)
        self.assertEqual((self.dir / "b.b64").read_bytes(), (self.dir / "a.b64").read_bytes())


if __name__ == "__main__":
    unittest.main()
