// Base64 with the standard alphabet and "=" as pad, no line breaks: the codec behind the
// Base64Encode and Base64Decode exports, and the internal API for every other caller.
//
// Every function comes in two forms: one runs on the fastest path this processor supports,
// chosen once and cached; the other takes the path to run, so that tests, the fuzzer and the
// benchmarks can run each path on the same input. All paths give the same results byte for
// byte; the scalar path is the reference the others are checked against.
//
// Decoding a long text in chunks: cut the text at multiples of 4 characters (only the last
// chunk may be shorter), decode each chunk into the target just after the bytes the earlier
// chunks wrote, and stop at the first result that is not `ok` or that says `finished`. Chunks
// cut on quads decode exactly as the whole text would; `invalid_offset` is relative to the
// chunk it came from. After `no_room`, decoding again from `consumed` into a fresh target goes
// on where the decode stopped. Encoding in chunks works the same with chunks of a multiple of
// 3 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace tarn::base64 {

enum class Path : std::uint8_t { scalar, ssse3, avx2 };

inline constexpr Path kAllPaths[] = {Path::scalar, Path::ssse3, Path::avx2};

// Whether this processor can run `path`. Scalar always can. Passing an unsupported path to a
// function below is a programming error (the processor would fault on an unknown instruction).
bool path_supported(Path path);

// The fastest supported path: the one the functions without a path argument use.
Path chosen_path();

std::string_view path_name(Path path);

// Characters that encoding `bytes` bytes gives: 4 per started group of 3.
constexpr std::size_t encoded_length(std::size_t bytes) { return (bytes + 2) / 3 * 4; }

// Most bytes that decoding `characters` characters can give: 3 per started quad.
constexpr std::size_t decoded_length_max(std::size_t characters) {
  return (characters + 3) / 4 * 3;
}

// Encodes all of `bytes` into the start of `text`. Returns the number of characters written,
// encoded_length(bytes.size()), or nullopt when `text` is shorter than that (nothing written).
std::optional<std::size_t> encode(std::span<const std::uint8_t> bytes, std::span<char> text);
std::optional<std::size_t> encode(std::span<const std::uint8_t> bytes, std::span<char> text,
                                  Path path);

struct DecodeResult {
  enum class Status : std::uint8_t {
    ok,                 // every quad up to the end (or up to `finished`) decoded
    invalid_character,  // a character outside the alphabet and the pad; see invalid_offset
    no_room,            // the next quad's bytes would not fit in the target
  };
  Status status = Status::ok;
  // Bytes written at the start of the target. On a failure these are the bytes of the quads
  // before the one that failed; nothing of that quad is written, nothing after it is touched.
  std::size_t written = 0;
  // With ok: the characters the decode covered. Otherwise: the offset of the quad that failed.
  std::size_t consumed = 0;
  // With invalid_character: the offset of that character in the text.
  std::size_t invalid_offset = 0;
  // A quad with the pad at position 2 or 3, or cut short by the end of the text, ended the
  // decode: the text after it was neither read nor validated.
  bool finished = false;
};

// Decodes `text` quad by quad into the start of `target`. A pad character at position 0 or 1
// of a quad stands for the value 0; at position 2 or 3 it ends the decode after that quad; a
// last quad of 1, 2 or 3 characters decodes as though padded, giving 1, 1 and 2 bytes. All
// four characters of a quad are checked before any of its bytes is written.
DecodeResult decode(std::string_view text, std::span<std::uint8_t> target);
DecodeResult decode(std::string_view text, std::span<std::uint8_t> target, Path path);

// The two exports' whole behaviour: a length of 0 or less means no input; the result is
// followed by zeros up to `target_size`. Base64Encode returns the characters written, or -2
// (nothing written) when they would not fit in `target_size` or `target_size` is negative.
// Base64Decode returns the bytes written; -1 at a character outside the alphabet and the pad
// (the bytes of the quads before it kept, no zero fill); -2 when the next quad would not fit
// in `target_size` (the bytes of the complete quads before it kept, no zero fill) or
// `target_size` is negative (nothing written).
std::int32_t encode_into_buffer(const unsigned char* source, std::int32_t source_length,
                                char* target, std::int32_t target_size);
std::int32_t decode_into_buffer(const char* source, std::int32_t source_length,
                                unsigned char* target, std::int32_t target_size);
std::int32_t encode_into_buffer(const unsigned char* source, std::int32_t source_length,
                                char* target, std::int32_t target_size, Path path);
std::int32_t decode_into_buffer(const char* source, std::int32_t source_length,
                                unsigned char* target, std::int32_t target_size, Path path);

}  // namespace tarn::base64
