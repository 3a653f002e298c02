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

// Turns six-bit values into alphabet characters. Each range of the alphabet is the value plus
// a constant: A-Z +65, a-z +71, 0-9 -4, '+' -19, '/' -16. A saturating subtract maps 52..63 to
// 1..12 and everything below to 0; adding 1 to all values above 25 then gives each range its
// own index into the table of constants.
inline __m128i to_characters(__m128i values) {
  __m128i index = _mm_subs_epu8(values, _mm_set1_epi8(51));
  index = _mm_sub_epi8(index, _mm_cmpgt_epi8(values, _mm_set1_epi8(25)));
  const __m128i offsets =
      _mm_setr_epi8(65, 71, -4, -4, -4, -4, -4, -4, -4, -4, -4, -4, -19, -16, 0, 0);
  return _mm_add_epi8(values, _mm_shuffle_epi8(offsets, index));
}

// Translates 16 characters to their values and returns a mask that is nonzero where any of
// them is not in the alphabet. A character is valid when the classes its low nibble allows
// meet the class of its high nibble: one PSHUFB lookup each and an AND, no branch per
// character.
inline __m128i to_values(__m128i characters, __m128i& values) {
  const __m128i nibble_mask = _mm_set1_epi8(0x0f);
  const __m128i high = _mm_and_si128(_mm_srli_epi32(characters, 4), nibble_mask);
  const __m128i low = _mm_and_si128(characters, nibble_mask);
  const __m128i invalid_for_low = _mm_setr_epi8(0x15, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11,
                                                0x11, 0x11, 0x13, 0x1A, 0x1B, 0x1B, 0x1B, 0x1A);
  // Every entry of the low table holds 0x10, the class of the high nibbles 0, 1 and 8 to 15, so
  // control characters and bytes of 0x80 and above are refused whatever their low nibble.
  const __m128i class_of_high = _mm_setr_epi8(0x10, 0x10, 0x01, 0x02, 0x04, 0x08, 0x04, 0x08, 0x10,
                                              0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10);
  // The value is the character plus an offset chosen by its high nibble. '/' shares the high
  // nibble of '+' and so comes out as 66, the only result above 63 of a valid character: the
  // unsigned minimum with 63 puts it in place.
  const __m128i offsets = _mm_setr_epi8(0, 0, 19, 4, -65, -65, -71, -71, 0, 0, 0, 0, 0, 0, 0, 0);
  values =
      _mm_min_epu8(_mm_add_epi8(characters, _mm_shuffle_epi8(offsets, high)), _mm_set1_epi8(63));
  return _mm_and_si128(_mm_shuffle_epi8(invalid_for_low, low),
                       _mm_shuffle_epi8(class_of_high, high));
}

inline bool all_clear(__m128i mask) {
  return _mm_movemask_epi8(_mm_cmpeq_epi8(mask, _mm_setzero_si128())) == 0xFFFF;
}

// Stores exactly the 12 bytes of a joined block.
inline void store_exact(std::uint8_t* out, __m128i joined) {
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out), joined);
  const int last_four = _mm_cvtsi128_si32(_mm_srli_si128(joined, 8));
  __builtin_memcpy(out + 8, &last_four, 4);
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
  const auto encode_block = [&](std::size_t at, char* out) {
    const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), to_characters(split_groups(in)));
  };
  // Each block loads 16 bytes and uses 12 of them; four blocks per step.
  for (; length - done >= 4 * 12 + 4; done += 4 * 12, text += 4 * 16) {
    encode_block(done, text);
    encode_block(done + 12, text + 16);
    encode_block(done + 24, text + 32);
    encode_block(done + 36, text + 48);
  }
  for (; length - done >= 16; done += 12, text += 16) encode_block(done, text);
  return done;
}

std::size_t decode_blocks_ssse3(const char* text, std::size_t length, std::uint8_t* bytes,
                                std::size_t room) {
  std::size_t done = 0, written = 0;
  const auto load = [&](std::size_t at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + at));
  };
  // Two blocks at a time, checked together before either is stored (more would not fit in the
  // registers). Bytes past the last block must keep their content when a later quad turns out
  // invalid, so the second store is exact; the first one's 4 spare bytes are overwritten by it.
  while (length - done >= 32 && room - written >= 24) {
    __m128i v0, v1;
    const __m128i clash = _mm_or_si128(to_values(load(done), v0), to_values(load(done + 16), v1));
    if (!all_clear(clash)) break;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes + written), join_values(v0));
    store_exact(bytes + written + 12, join_values(v1));
    done += 32;
    written += 24;
  }
  for (; length - done >= 16 && room - written >= 12; done += 16, written += 12) {
    __m128i values;
    if (!all_clear(to_values(load(done), values))) break;
    store_exact(bytes + written, join_values(values));
  }
  return done;
}

}  // namespace tarn::base64
