// The SSSE3 path: 12 bytes to 16 characters and back per 128-bit register, with PSHUFB doing
// the table lookups. Compiled with -mssse3.
#include <tmmintrin.h>

#include "base64/kernels.h"

namespace tarn::base64 {
namespace {

// Spreads each group of 3 bytes over a 32-bit lane as 4 six-bit values, one per byte.
inline __m128i split_groups(__m128i in) {
  // Per lane the bytes b1 b0 b2 b1: the 16-bit halves then hold b0:b1 and b1:b2.
  in = _mm_shuffle_epi8(in, _mm_setr_epi8(1, 0, 2, 1, 4, 3, 5, 4, 7, 6, 8, 7, 10, 9, 11, 10));
  // The first and third values, moved down by a multiply-high on 16-bit halves ...
  const __m128i first_third =
      _mm_mulhi_epu16(_mm_and_si128(in, _mm_set1_epi32(0x0fc0fc00)), _mm_set1_epi32(0x04000040));
  // ... the second and fourth moved up by a multiply-low, into the other byte of each half.
  const __m128i second_fourth =
      _mm_mullo_epi16(_mm_and_si128(in, _mm_set1_epi32(0x003f03f0)), _mm_set1_epi32(0x01000010));
  return _mm_or_si128(first_third, second_fourth);
}

// Turns six-bit values into alphabet characters: each range of the alphabet is the value plus
// a constant, and a saturating subtract and one compare pick the constant's table index.
inline __m128i to_characters(__m128i values) {
  __m128i index = _mm_subs_epu8(values, _mm_set1_epi8(51));  // 1..12 for digits, '+', '/'
  const __m128i capitals = _mm_cmpgt_epi8(_mm_set1_epi8(26), values);
  index = _mm_or_si128(index, _mm_and_si128(capitals, _mm_set1_epi8(13)));
  const __m128i offsets =
      _mm_setr_epi8('a' - 26, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52,
                    '0' - 52, '0' - 52, '0' - 52, '+' - 62, '/' - 63, 'A', 0, 0);
  return _mm_add_epi8(values, _mm_shuffle_epi8(offsets, index));
}

// Translates 16 characters to their values; false when any of them is not in the alphabet.
// A character is valid when the class its low nibble allows meets the class of its high
// nibble: one PSHUFB lookup each, one AND, and no branch per character.
inline bool to_values(__m128i characters, __m128i& values) {
  const __m128i nibble_mask = _mm_set1_epi8(0x0f);
  const __m128i high = _mm_and_si128(_mm_srli_epi32(characters, 4), nibble_mask);
  const __m128i low = _mm_and_si128(characters, nibble_mask);
  const __m128i invalid_for_low = _mm_setr_epi8(0x15, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11,
                                                0x11, 0x11, 0x13, 0x1A, 0x1B, 0x1B, 0x1B, 0x1A);
  const __m128i class_of_high = _mm_setr_epi8(0x10, 0x10, 0x01, 0x02, 0x04, 0x08, 0x04, 0x08, 0x10,
                                              0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10);
  // Every entry of the low table holds 0x10, the class of the high nibbles 0, 1 and 8 to 15, so
  // control characters and bytes of 0x80 and above are refused whatever their low nibble.
  const __m128i clash =
      _mm_and_si128(_mm_shuffle_epi8(invalid_for_low, low), _mm_shuffle_epi8(class_of_high, high));
  if (_mm_movemask_epi8(_mm_cmpeq_epi8(clash, _mm_setzero_si128())) != 0xFFFF) return false;
  // The value is the character plus an offset chosen by its high nibble; '/' shares the high
  // nibble of '+' and is moved to its own entry by subtracting 1.
  const __m128i offsets = _mm_setr_epi8(0, 16, 19, 4, -65, -65, -71, -71, 0, 0, 0, 0, 0, 0, 0, 0);
  const __m128i slash = _mm_cmpeq_epi8(characters, _mm_set1_epi8('/'));
  values = _mm_add_epi8(characters, _mm_shuffle_epi8(offsets, _mm_add_epi8(high, slash)));
  return true;
}

// Packs 16 six-bit values into 12 bytes at the start of the register.
inline __m128i join_values(__m128i values) {
  const __m128i pairs = _mm_maddubs_epi16(values, _mm_set1_epi32(0x01400140));
  const __m128i lanes = _mm_madd_epi16(pairs, _mm_set1_epi32(0x00011000));
  return _mm_shuffle_epi8(lanes,
                          _mm_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1));
}

}  // namespace

std::size_t encode_blocks_ssse3(const std::uint8_t* bytes, std::size_t length, char* text) {
  std::size_t done = 0;
  // Each step loads 16 bytes and uses 12 of them.
  for (; length - done >= 16; done += 12, text += 16) {
    const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + done));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(text), to_characters(split_groups(in)));
  }
  return done;
}

std::size_t decode_blocks_ssse3(const char* text, std::size_t length, std::uint8_t* bytes,
                                std::size_t room) {
  std::size_t done = 0, written = 0;
  for (; length - done >= 16 && room - written >= 12; done += 16, written += 12) {
    __m128i values;
    if (!to_values(_mm_loadu_si128(reinterpret_cast<const __m128i*>(text + done)), values)) break;
    // Exactly 12 bytes are stored: bytes past them must keep their content when a later quad
    // turns out invalid.
    const __m128i out = join_values(values);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(bytes + written), out);
    const int last_four = _mm_cvtsi128_si32(_mm_srli_si128(out, 8));
    __builtin_memcpy(bytes + written + 8, &last_four, 4);
  }
  return done;
}

}  // namespace tarn::base64
