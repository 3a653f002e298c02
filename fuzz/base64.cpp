// Feeds arbitrary input to every path of the Base64 codec that this processor runs and checks
// each against the scalar path and the plain rules: the encoded text, the round trip, and for
// decoding the result code, the whole target afterwards (zero fill and untouched bytes) and the
// reported stop position.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "base64/codec.h"
#include "support/base64_oracle.h"

namespace {

using tarn::base64::DecodeResult;
using tarn::base64::Path;

void check(bool condition) {
  if (!condition) std::abort();
}

// Turns bytes into text that is mostly alphabet, so that long runs reach the vector blocks;
// the top 16 byte values stay as they are and bring pads, zeros and other strangers.
std::string mostly_alphabet(std::string_view raw) {
  static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text(raw);
  for (char& c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0xF0) c = alphabet[b & 63];
    if (b == 0xF0) c = '=';
  }
  return text;
}

void check_encode(const std::vector<std::uint8_t>& bytes) {
  const std::string expected = tarn::oracle::encode(bytes);
  for (Path path : tarn::base64::kAllPaths) {
    if (!tarn::base64::path_supported(path)) continue;
    std::string text(expected.size(), '#');
    check(tarn::base64::encode(bytes, text, path) == expected.size());
    check(text == expected);
    std::vector<std::uint8_t> back(bytes.size());
    const DecodeResult result = tarn::base64::decode(text, back, path);
    check(result.status == DecodeResult::Status::ok && result.written == bytes.size());
    check(back == bytes);
  }
}

void check_decode(const std::string& text, std::size_t room) {
  const tarn::oracle::Decoded expected =
      tarn::oracle::decode(text, std::vector<std::uint8_t>(room, 0xA5));
  DecodeResult scalar;
  for (Path path : tarn::base64::kAllPaths) {
    if (!tarn::base64::path_supported(path)) continue;
    std::vector<std::uint8_t> target(room, 0xA5);
    const int result =
        tarn::base64::decode_into_buffer(text.data(), static_cast<std::int32_t>(text.size()),
                                         target.data(), static_cast<std::int32_t>(room), path);
    check(result == expected.result);
    check(target == expected.target);

    std::vector<std::uint8_t> again(room, 0xA5);
    const DecodeResult detail = tarn::base64::decode(text, again, path);
    if (path == Path::scalar) scalar = detail;
    check(detail.status == scalar.status && detail.written == scalar.written &&
          detail.consumed == scalar.consumed && detail.invalid_offset == scalar.invalid_offset &&
          detail.finished == scalar.finished);
    if (detail.status == DecodeResult::Status::invalid_character) {
      const char bad = text[detail.invalid_offset];
      check(bad != '=' && tarn::oracle::value_of(bad) < 0);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // The first byte picks the room of the decode target relative to the most it can need.
  const unsigned room_choice = data[0];
  const std::string_view raw(reinterpret_cast<const char*>(data + 1), size - 1);

  check_encode(std::vector<std::uint8_t>(raw.begin(), raw.end()));

  for (const std::string& text : {std::string(raw), mostly_alphabet(raw)}) {
    const std::size_t most = tarn::base64::decoded_length_max(text.size());
    const std::size_t room = room_choice < 128 ? most : most * (room_choice - 128) / 128;
    check_decode(text, room);
  }
  return 0;
}
