// A deliberately plain Base64 decoder and encoder, written from the rules one character at a
// time with no tables shared with the codec: the yardstick for the codec's scalar path in the
// unit tests and the fuzzer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarn::oracle {

inline int value_of(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

inline std::string encode(const std::vector<std::uint8_t>& bytes) {
  static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  for (std::size_t s = 0; s < bytes.size(); s += 3) {
    const unsigned b0 = bytes[s];
    const unsigned b1 = s + 1 < bytes.size() ? bytes[s + 1] : 0;
    const unsigned b2 = s + 2 < bytes.size() ? bytes[s + 2] : 0;
    text += alphabet[b0 >> 2];
    text += alphabet[((b0 & 3) << 4) | (b1 >> 4)];
    text += s + 1 < bytes.size() ? alphabet[((b1 & 15) << 2) | (b2 >> 6)] : '=';
    text += s + 2 < bytes.size() ? alphabet[b2 & 63] : '=';
  }
  return text;
}

// What Base64Decode does to a target of `room` bytes that held `target`: the result code and
// the target afterwards (zero fill included).
struct Decoded {
  int result;
  std::vector<std::uint8_t> target;
};

inline Decoded decode(std::string_view text, std::vector<std::uint8_t> target) {
  std::size_t written = 0;
  const std::size_t n = text.size();
  for (std::size_t s = 0; s < n; s += 4) {
    int q[4] = {0, 0, 0, 0};
    for (std::size_t i = 0; i < 4; ++i) {
      if (s + i >= n || text[s + i] == '=') continue;
      q[i] = value_of(text[s + i]);
      if (q[i] < 0) return {-1, target};
    }
    const bool ends_at_2 = s + 2 >= n || text[s + 2] == '=';
    const bool ends_at_3 = ends_at_2 || s + 3 >= n || text[s + 3] == '=';
    const std::size_t count = ends_at_2 ? 1 : ends_at_3 ? 2 : 3;
    if (written + count > target.size()) return {-2, target};
    const std::uint8_t out[3] = {std::uint8_t(q[0] << 2 | q[1] >> 4),
                                 std::uint8_t(q[1] << 4 | q[2] >> 2),
                                 std::uint8_t(q[2] << 6 | q[3])};
    for (std::size_t i = 0; i < count; ++i) target[written++] = out[i];
    if (count < 3) break;
  }
  for (std::size_t i = written; i < target.size(); ++i) target[i] = 0;
  return {static_cast<int>(written), target};
}

}  // namespace tarn::oracle
