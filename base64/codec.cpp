// The drivers every path shares: the block functions of the path take what they can, the
// scalar rules take the rest, so that results never depend on the path.
#include "base64/codec.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "base64/kernels.h"
#include "base64/scalar.h"

namespace tarn::base64 {
namespace {

const Kernels& kernels_of(Path path) {
  static constexpr Kernels kScalar{encode_blocks_scalar, decode_blocks_scalar, 4};
  static constexpr Kernels kSsse3{encode_blocks_ssse3, decode_blocks_ssse3, 16};
  static constexpr Kernels kAvx2{encode_blocks_avx2, decode_blocks_avx2, 32};
  switch (path) {
    case Path::ssse3:
      return kSsse3;
    case Path::avx2:
      return kAvx2;
    case Path::scalar:
      break;
  }
  return kScalar;
}

// The scalar rules from `text[at]` up to `limit` (whole quads, or the end of the text); the
// fast scalar loop covers runs of plain quads between the quads that need decode_quad.
// Returns true when the decode ended, with `result` complete.
bool decode_with_rules(std::string_view text, std::size_t limit, std::span<std::uint8_t> target,
                       DecodeResult& result) {
  while (result.consumed < limit) {
    const std::size_t plain =
        decode_blocks_scalar(text.data() + result.consumed, limit - result.consumed,
                             target.data() + result.written, target.size() - result.written);
    result.consumed += plain;
    result.written += plain / 4 * 3;
    if (result.consumed >= limit) break;
    const QuadOutcome quad =
        decode_quad(text.data() + result.consumed, text.size() - result.consumed,
                    target.data() + result.written, target.size() - result.written);
    switch (quad.kind) {
      case QuadOutcome::Kind::next:
        result.consumed += 4;
        result.written += 3;
        break;
      case QuadOutcome::Kind::finished:
        result.consumed = std::min(text.size(), result.consumed + 4);
        result.written += quad.written;
        result.finished = true;
        return true;
      case QuadOutcome::Kind::invalid:
        result.status = DecodeResult::Status::invalid_character;
        result.invalid_offset = result.consumed + quad.invalid_position;
        return true;
      case QuadOutcome::Kind::no_room:
        result.status = DecodeResult::Status::no_room;
        return true;
    }
  }
  return result.consumed >= text.size();
}

}  // namespace

std::optional<std::size_t> encode(std::span<const std::uint8_t> bytes, std::span<char> text,
                                  Path path) {
  const std::size_t length = encoded_length(bytes.size());
  if (text.size() < length) return std::nullopt;
  const std::size_t done = kernels_of(path).encode_blocks(bytes.data(), bytes.size(), text.data());
  const std::size_t rest =
      encode_blocks_scalar(bytes.data() + done, bytes.size() - done, text.data() + done / 3 * 4);
  const std::size_t grouped = done + rest;
  if (grouped < bytes.size()) {
    encode_last_group(bytes.data() + grouped, bytes.size() - grouped,
                      text.data() + grouped / 3 * 4);
  }
  return length;
}

std::optional<std::size_t> encode(std::span<const std::uint8_t> bytes, std::span<char> text) {
  return encode(bytes, text, chosen_path());
}

DecodeResult decode(std::string_view text, std::span<std::uint8_t> target, Path path) {
  const Kernels& kernels = kernels_of(path);
  DecodeResult result;
  while (result.consumed < text.size()) {
    const std::size_t fast =
        kernels.decode_blocks(text.data() + result.consumed, text.size() - result.consumed,
                              target.data() + result.written, target.size() - result.written);
    result.consumed += fast;
    result.written += fast / 4 * 3;
    // The block the fast path stopped at (or the tail) goes by the scalar rules.
    const std::size_t limit =
        std::min(text.size(), result.consumed + kernels.decode_block_characters);
    if (decode_with_rules(text, limit, target, result)) break;
  }
  return result;
}

DecodeResult decode(std::string_view text, std::span<std::uint8_t> target) {
  return decode(text, target, chosen_path());
}

std::int32_t encode_into_buffer(const unsigned char* source, std::int32_t source_length,
                                char* target, std::int32_t target_size, Path path) {
  if (target_size < 0) return -2;
  const std::size_t length = source_length > 0 ? static_cast<std::size_t>(source_length) : 0;
  const auto size = static_cast<std::size_t>(target_size);
  // Encoding more than about 1.5 GiB gives more characters than an int32 counts; such a result
  // can never fit in target_size either.
  if (encoded_length(length) > size) return -2;
  const std::size_t written = length == 0 ? 0 : *encode({source, length}, {target, size}, path);
  if (size > written) std::memset(target + written, 0, size - written);
  return static_cast<std::int32_t>(written);
}

std::int32_t decode_into_buffer(const char* source, std::int32_t source_length,
                                unsigned char* target, std::int32_t target_size, Path path) {
  if (target_size < 0) return -2;
  const std::size_t length = source_length > 0 ? static_cast<std::size_t>(source_length) : 0;
  const auto size = static_cast<std::size_t>(target_size);
  const DecodeResult result =
      length == 0 ? DecodeResult{} : decode({source, length}, {target, size}, path);
  switch (result.status) {
    case DecodeResult::Status::invalid_character:
      return -1;
    case DecodeResult::Status::no_room:
      return -2;
    case DecodeResult::Status::ok:
      break;
  }
  if (size > result.written) std::memset(target + result.written, 0, size - result.written);
  return static_cast<std::int32_t>(result.written);
}

std::int32_t encode_into_buffer(const unsigned char* source, std::int32_t source_length,
                                char* target, std::int32_t target_size) {
  return encode_into_buffer(source, source_length, target, target_size, chosen_path());
}

std::int32_t decode_into_buffer(const char* source, std::int32_t source_length,
                                unsigned char* target, std::int32_t target_size) {
  return decode_into_buffer(source, source_length, target, target_size, chosen_path());
}

}  // namespace tarn::base64
