"""The PowerBuilder declarations of tarn.dll against the exports and the C header."""
import re
import unittest

from tarn_binary import EXPORTS, ROOT

PB = ROOT / "powerbuilder"
HEADER = ROOT / "include" / "tarn.h"

DECLARATION = re.compile(
    r'^function\s+long\s+(\w+)\s*\(([^)]*)\)\s+library\s+"tarn\.dll"\s+'
    r'alias\s+for\s+"([^";]+);Ansi"\s*$', re.I | re.M)
ARGUMENT = re.compile(r"^(ref\s+)?(\w+)\s+\w+(\[\])?$", re.I)
PROTOTYPE = re.compile(r"int32_t\s+TARN_CALL\s+(\w+)\(([^)]*)\);")

# Bytes each PowerBuilder argument takes on a 32-bit stack: a double takes 8, and every other
# kind (integers, handles, and the pointers behind strings, blobs and arrays) takes 4.
ARGUMENT_BYTES_32 = {"double": 8}


def declarations(path):
    """{export name: [(is_ref, type, is_array)]} of the external functions in a file."""
    text = path.read_text(encoding="ascii")
    found = {}
    for name, arguments, alias in DECLARATION.findall(text):
        assert name not in found, f"{path.name}: {name} declared twice"
        assert alias == name, f"{path.name}: {name} is an alias for {alias}"
        parsed = []
        for argument in filter(None, (a.strip() for a in arguments.split(","))):
            match = ARGUMENT.match(argument)
            assert match, f"{path.name}: cannot read argument {argument!r} of {name}"
            parsed.append((bool(match.group(1)), match.group(2).lower(), bool(match.group(3))))
        found[name] = parsed
    return found


def header_parameters():
    """{export name: [C type of each parameter]} from the public header."""
    text = re.sub(r"/\*.*?\*/", "", HEADER.read_text(), flags=re.S)
    return {name: [" ".join(p.replace("*", " * ").split()[:-1]) for p in params.split(",")]
            for name, params in PROTOTYPE.findall(" ".join(text.split()))}


def expected_kinds(c_type, pointer_type):
    """The PowerBuilder arguments that pass a C parameter the way tarn.dll expects it."""
    writable = "const" not in c_type.split()
    if c_type.endswith("* *"):
        return {(True, "string", True)}  # an array of pointers to buffers the DLL fills
    if c_type.endswith("*") and "void" not in c_type:
        kind = "blob" if "unsigned" in c_type else "string"
        # Bytes always go by reference, so PowerBuilder hands over the blob's own data.
        return {(True, kind, False)} if writable or kind == "blob" else {(False, kind, False)}
    if c_type == "int32_t":
        return {(False, "long", False)}
    if c_type == "double":
        return {(False, "double", False)}
    return {(False, pointer_type, False)}  # window handles and pointer-sized values


class PowerBuilderDeclarations(unittest.TestCase):
    FILES = {
        "tarn_external_32.txt": {"long", "ulong"},
        "tarn_external_64.txt": {"longptr"},
        "n_tarn.sru": {"longptr"},
    }

    def test_every_export_is_declared_once_with_the_right_stack_size(self):
        for file_name in self.FILES:
            with self.subTest(file_name):
                found = declarations(PB / file_name)
                self.assertEqual(sorted(found), sorted(EXPORTS))
                for name, arguments in found.items():
                    size = sum(ARGUMENT_BYTES_32.get(kind, 4) for _, kind, _ in arguments)
                    self.assertEqual(size, EXPORTS[name][1], f"{file_name}: {name}")

    def test_argument_kinds_follow_the_header(self):
        parameters = header_parameters()
        self.assertEqual(sorted(parameters), sorted(EXPORTS))
        for file_name, pointer_types in self.FILES.items():
            found = declarations(PB / file_name)
            for name, c_types in parameters.items():
                with self.subTest(file=file_name, export=name):
                    self.assertEqual(len(found[name]), len(c_types))
                    for position, (c_type, argument) in enumerate(zip(c_types, found[name])):
                        allowed = set().union(
                            *(expected_kinds(c_type, p) for p in pointer_types))
                        self.assertIn(argument, allowed, f"argument {position + 1} ({c_type})")

    def test_wrapper_object_is_complete(self):
        text = (PB / "n_tarn.sru").read_text(encoding="ascii")
        self.assertTrue(text.startswith("$PBExportHeader$n_tarn.sru"))
        forward = re.search(r"forward prototypes\r?\n(.*?)end prototypes", text, re.S).group(1)
        declared = re.findall(r"^public function \w+ (of_\w+) \(([^)]*)\)", forward, re.M)
        bodies = re.findall(r"^public function \w+ (of_\w+) \(([^)]*)\);", text, re.M)
        self.assertEqual(declared, bodies)
        self.assertEqual(len(re.findall(r"^end function", text, re.M)), len(bodies))
        called = set(re.findall(r"\b(" + "|".join(EXPORTS) + r")\(", text.split(
            "end prototypes", 1)[1]))
        self.assertEqual(called, set(EXPORTS), "an export without a wrapper")


if __name__ == "__main__":
    unittest.main()
