// Base64 cases shared by every tier: the native tests, the Wine tests of the 64-bit DLL and the
// emulated 32-bit DLL (tests/binary reads this file). Keep each entry a brace of string literals
// and integers so that all three can read it.
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>

namespace tarn::vectors {

using namespace std::string_view_literals;

// The test vectors of RFC 4648, section 10: bytes and their Base64 text.
inline constexpr std::pair<std::string_view, std::string_view> kRfc4648[] = {
    {"", ""},
    {"f", "Zg=="},
    {"fo", "Zm8="},
    {"foo", "Zm9v"},
    {"foob", "Zm9vYg=="},
    {"fooba", "Zm9vYmE="},
    {"foobar", "Zm9vYmFy"},
};

// Base64Decode on a text into a target of `room` bytes: its result, and the bytes it leaves at
// the start of the target. The rest of the target is zero after a success and untouched after
// a failure.
struct DecodeCase {
  std::string_view text;
  std::int32_t room;
  std::int32_t result;
  std::string_view written;
};

inline constexpr DecodeCase kDecodeCases[] = {
    {"Zm9v Zg=="sv, 8, -1, "foo"sv},  // a blank ends the decode at its quad
    {"Zm9vYmFy"sv, 5, -2, "foo"sv},   // the quad that does not fit is not written
    {"Zg==ignored"sv, 2, 1, "f"sv},   // a pad ends the text
    {"Zg=!"sv, 4, -1, ""sv},
    {"=Zm9Zg=="sv, 8, 4, "\001\231\275f"sv},  // a pad in the first two places counts as A
    {"Zm9vZ"sv, 3, -2, "foo"sv},
    {"Zm9vZ"sv, 4, 4, "food"sv},  // a lone last character still gives a byte
    {"Zg"sv, 1, 1, "f"sv},        // no pads needed
    {"Zm8="sv, 1, -2, ""sv},
    {""sv, 0, 0, ""sv},
    {"Zm9v\200Zg=="sv, 8, -1, "foo"sv},
    {"Zm9v\000Zg=="sv, 8, -1, "foo"sv},  // a zero byte is a character like any other
    {"Zm9v\012Zg=="sv, 8, -1, "foo"sv},  // no line breaks
    // Long enough for the vector blocks of every path.
    {"U2l4dHktZm91ciBjaGFyYWN0ZXJzIG9mIHRleHQgcmVhY2ggZXZlcnkgYmxvY2su"sv, 48, 48,
     "Sixty-four characters of text reach every block."sv},
    {"U2l4dHktZm91ciBjaGFyYWN0ZXJzIG9mIHRleHQgcmVhY2ggZXZlcnkgYmxvY2su"sv, 47, -2,
     "Sixty-four characters of text reach every blo"sv},
    {"U2l4dHktZm91ciBjaGFyYWN0ZXJzIG9mIHRleHQgcmVhY2ggZX!lcnkgYmxvY2su"sv, 48, -1,
     "Sixty-four characters of text reach "sv},
    {"U2l4dHktZm91ciBjaGFyYWN0ZXJzIG9mI=RleHQgcmVhY2ggZXZlcnkgYmxvY2su"sv, 48, 48,
     "Sixty-four characters of \004ext reach every block."sv},
};

}  // namespace tarn::vectors
