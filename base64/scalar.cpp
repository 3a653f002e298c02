// The scalar path: the reference every other path is checked against and the fallback on
// processors without them. Whole blocks go through wide tables; the rules for pads, invalid
// characters and the end of the text live in decode_quad alone.
#include "base64/scalar.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "base64/kernels.h"

namespace tarn::base64 {
namespace {

// The wide loads and stores below put the first byte in the lowest bits.
static_assert(std::endian::native == std::endian::little);

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The value of each alphabet character; -1 for every other byte, the pad included.
constexpr std::array<std::int8_t, 256> make_values() {
  std::array<std::int8_t, 256> values{};
  values.fill(-1);
  for (int v = 0; v < 64; ++v) values[static_cast<unsigned char>(kAlphabet[v])] = std::int8_t(v);
  return values;
}
constexpr auto kValues = make_values();

// Both characters for each 12-bit value, the first in the low byte: two lookups encode a group.
constexpr std::array<std::uint16_t, 4096> make_pairs() {
  std::array<std::uint16_t, 4096> pairs{};
  for (unsigned v = 0; v < 4096; ++v) {
    pairs[v] = static_cast<std::uint16_t>(static_cast<unsigned char>(kAlphabet[v >> 6]) |
                                          static_cast<unsigned char>(kAlphabet[v & 63]) << 8);
  }
  return pairs;
}
constexpr auto kPairs = make_pairs();

// Marks a character that needs the exact rules: a bit in the fourth byte of the OR of a quad's
// four lookups below, which no alphabet character sets.
constexpr std::uint32_t kUnusual = 0x01000000;

// For each quad position, a character's value already placed at its bits in the three output
// bytes (first byte lowest), so that a quad decodes with four lookups and three ORs.
constexpr std::array<std::uint32_t, 256> make_placed(int position) {
  std::array<std::uint32_t, 256> placed{};
  for (unsigned c = 0; c < 256; ++c) {
    const int value = kValues[c];
    if (value < 0) {
      placed[c] = kUnusual;
      continue;
    }
    const auto v = static_cast<std::uint32_t>(value);
    switch (position) {
      case 0:
        placed[c] = v << 2;
        break;
      case 1:
        placed[c] = (v >> 4) | (v & 15) << 12;
        break;
      case 2:
        placed[c] = (v >> 2) << 8 | (v & 3) << 22;
        break;
      default:
        placed[c] = v << 16;
        break;
    }
  }
  return placed;
}
constexpr auto kPlaced0 = make_placed(0);
constexpr auto kPlaced1 = make_placed(1);
constexpr auto kPlaced2 = make_placed(2);
constexpr auto kPlaced3 = make_placed(3);

inline std::uint32_t quad_bits(const unsigned char* c) {
  return kPlaced0[c[0]] | kPlaced1[c[1]] | kPlaced2[c[2]] | kPlaced3[c[3]];
}

inline void put_three(std::uint8_t* out, std::uint32_t bits) {
  out[0] = static_cast<std::uint8_t>(bits);
  out[1] = static_cast<std::uint8_t>(bits >> 8);
  out[2] = static_cast<std::uint8_t>(bits >> 16);
}

inline void put_group(const std::uint8_t* in, char* out) {
  const unsigned first = static_cast<unsigned>(in[0]) << 4 | in[1] >> 4;
  const unsigned second = (in[1] & 15u) << 8 | in[2];
  const std::uint32_t chars = kPairs[first] | static_cast<std::uint32_t>(kPairs[second]) << 16;
  std::memcpy(out, &chars, 4);
}

}  // namespace

std::size_t encode_blocks_scalar(const std::uint8_t* bytes, std::size_t length, char* text) {
  std::size_t done = 0;
  // Six bytes per step from an 8-byte big-endian load: four lookups, one 8-byte store.
  for (; length - done >= 8; done += 6, text += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes + done, 8);
    word = __builtin_bswap64(word);
    const std::uint64_t chars = kPairs[word >> 52] |
                                static_cast<std::uint64_t>(kPairs[(word >> 40) & 0xFFF]) << 16 |
                                static_cast<std::uint64_t>(kPairs[(word >> 28) & 0xFFF]) << 32 |
                                static_cast<std::uint64_t>(kPairs[(word >> 16) & 0xFFF]) << 48;
    std::memcpy(text, &chars, 8);
  }
  for (; length - done >= 3; done += 3, text += 4) put_group(bytes + done, text);
  return done;
}

void encode_last_group(const std::uint8_t* bytes, std::size_t length, char* text) {
  const std::uint8_t group[3] = {bytes[0], length > 1 ? bytes[1] : std::uint8_t{0}, 0};
  put_group(group, text);
  text[3] = kPad;
  if (length == 1) text[2] = kPad;
}

std::size_t decode_blocks_scalar(const char* text, std::size_t length, std::uint8_t* bytes,
                                 std::size_t room) {
  const auto* in = reinterpret_cast<const unsigned char*>(text);
  std::uint8_t* out = bytes;
  // Four quads per step, all known good before any byte is stored; the 12 bytes go out in two
  // stores. The step count is fixed up front so the loop keeps everything in registers.
  for (std::size_t steps = std::min(length / 16, room / 12); steps != 0; --steps) {
    const std::uint64_t q0 = quad_bits(in), q1 = quad_bits(in + 4);
    const std::uint64_t q2 = quad_bits(in + 8), q3 = quad_bits(in + 12);
    if ((q0 | q1 | q2 | q3) & kUnusual) break;
    const std::uint64_t low = q0 | q1 << 24 | q2 << 48;
    const auto high = static_cast<std::uint32_t>(q2 >> 16 | q3 << 8);
    std::memcpy(out, &low, 8);
    std::memcpy(out + 8, &high, 4);
    in += 16;
    out += 12;
  }
  std::size_t done = static_cast<std::size_t>(in - reinterpret_cast<const unsigned char*>(text));
  std::size_t written = static_cast<std::size_t>(out - bytes);
  while (length - done >= 4 && room - written >= 3) {
    const std::uint32_t bits = quad_bits(in);
    if (bits & kUnusual) break;
    put_three(out, bits);
    done += 4;
    written += 3;
    in += 4;
    out += 3;
  }
  return done;
}

QuadOutcome decode_quad(const char* text, std::size_t length, std::uint8_t* bytes,
                        std::size_t room) {
  unsigned values[4] = {0, 0, 0, 0};
  for (std::size_t position = 0; position < 4 && position < length; ++position) {
    const char c = text[position];
    if (c == kPad) continue;
    const int value = kValues[static_cast<unsigned char>(c)];
    if (value < 0) return {QuadOutcome::Kind::invalid, 0, position};
    values[position] = static_cast<unsigned>(value);
  }
  // The quad ends the decode at its first position 2 or 3 that is a pad or past the end.
  std::size_t count = 3;
  if (length <= 2 || text[2] == kPad) {
    count = 1;
  } else if (length <= 3 || text[3] == kPad) {
    count = 2;
  }
  if (count > room) return {QuadOutcome::Kind::no_room, 0, 0};
  const std::uint8_t out[3] = {static_cast<std::uint8_t>(values[0] << 2 | values[1] >> 4),
                               static_cast<std::uint8_t>(values[1] << 4 | values[2] >> 2),
                               static_cast<std::uint8_t>(values[2] << 6 | values[3])};
  for (std::size_t i = 0; i < count; ++i) bytes[i] = out[i];
  return {count == 3 ? QuadOutcome::Kind::next : QuadOutcome::Kind::finished, count, 0};
}

}  // namespace tarn::base64
