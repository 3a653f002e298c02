// The AVX2 path: the SSSE3 method on both 128-bit lanes at once, 24 bytes to 32 characters and
// back per register. Compiled with -mavx2.
#include <immintrin.h>

#include "base64/kernels.h"

namespace tarn::base64 {
namespace {

inline __m256i both_lanes(__m128i lane) { return _mm256_broadcastsi128_si256(lane); }

// Spreads each group of 3 bytes over a 32-bit lane as 4 six-bit values (see ssse3.cpp).
inline __m256i split_groups(__m256i in) {
  in = _mm256_shuffle_epi8(
      in, both_lanes(_mm_setr_epi8(1, 0, 2, 1, 4, 3, 5, 4, 7, 6, 8, 7, 10, 9, 11, 10)));
  const __m256i first_third = _mm256_mulhi_epu16(
      _mm256_and_si256(in, _mm256_set1_epi32(0x0fc0fc00)), _mm256_set1_epi32(0x04000040));
  const __m256i second_fourth = _mm256_mullo_epi16(
      _mm256_and_si256(in, _mm256_set1_epi32(0x003f03f0)), _mm256_set1_epi32(0x01000010));
  return _mm256_or_si256(first_third, second_fourth);
}

inline __m256i to_characters(__m256i values) {
  __m256i index = _mm256_subs_epu8(values, _mm256_set1_epi8(51));
  const __m256i capitals = _mm256_cmpgt_epi8(_mm256_set1_epi8(26), values);
  index = _mm256_or_si256(index, _mm256_and_si256(capitals, _mm256_set1_epi8(13)));
  const __m256i offsets = both_lanes(_mm_setr_epi8('a' - 26, '0' - 52, '0' - 52, '0' - 52, '0' - 52,
                                                   '0' - 52, '0' - 52, '0' - 52, '0' - 52, '0' - 52,
                                                   '0' - 52, '+' - 62, '/' - 63, 'A', 0, 0));
  return _mm256_add_epi8(values, _mm256_shuffle_epi8(offsets, index));
}

// Translates 32 characters to their values; false when any is not in the alphabet.
inline bool to_values(__m256i characters, __m256i& values) {
  const __m256i nibble_mask = _mm256_set1_epi8(0x0f);
  const __m256i high = _mm256_and_si256(_mm256_srli_epi32(characters, 4), nibble_mask);
  const __m256i low = _mm256_and_si256(characters, nibble_mask);
  const __m256i invalid_for_low =
      both_lanes(_mm_setr_epi8(0x15, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x13,
                               0x1A, 0x1B, 0x1B, 0x1B, 0x1A));
  const __m256i class_of_high =
      both_lanes(_mm_setr_epi8(0x10, 0x10, 0x01, 0x02, 0x04, 0x08, 0x04, 0x08, 0x10, 0x10, 0x10,
                               0x10, 0x10, 0x10, 0x10, 0x10));
  const __m256i clash = _mm256_and_si256(_mm256_shuffle_epi8(invalid_for_low, low),
                                         _mm256_shuffle_epi8(class_of_high, high));
  if (!_mm256_testz_si256(clash, clash)) return false;
  const __m256i offsets =
      both_lanes(_mm_setr_epi8(0, 16, 19, 4, -65, -65, -71, -71, 0, 0, 0, 0, 0, 0, 0, 0));
  const __m256i slash = _mm256_cmpeq_epi8(characters, _mm256_set1_epi8('/'));
  values = _mm256_add_epi8(characters, _mm256_shuffle_epi8(offsets, _mm256_add_epi8(high, slash)));
  return true;
}

// Packs 32 six-bit values into 24 bytes at the start of the register.
inline __m256i join_values(__m256i values) {
  const __m256i pairs = _mm256_maddubs_epi16(values, _mm256_set1_epi32(0x01400140));
  const __m256i lanes = _mm256_madd_epi16(pairs, _mm256_set1_epi32(0x00011000));
  const __m256i packed = _mm256_shuffle_epi8(
      lanes, both_lanes(_mm_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1)));
  return _mm256_permutevar8x32_epi32(packed, _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 3, 7));
}

inline __m256i load_two_lanes(const std::uint8_t* low, const std::uint8_t* high) {
  return _mm256_inserti128_si256(
      _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(low))),
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(high)), 1);
}

}  // namespace

std::size_t encode_blocks_avx2(const std::uint8_t* bytes, std::size_t length, char* text) {
  std::size_t done = 0;
  // Each step loads 16 bytes at 0 and at 12 and uses 12 of each, so it needs 28 readable.
  for (; length - done >= 28; done += 24, text += 32) {
    const __m256i in = load_two_lanes(bytes + done, bytes + done + 12);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(text), to_characters(split_groups(in)));
  }
  return done;
}

std::size_t decode_blocks_avx2(const char* text, std::size_t length, std::uint8_t* bytes,
                               std::size_t room) {
  std::size_t done = 0, written = 0;
  for (; length - done >= 32 && room - written >= 24; done += 32, written += 24) {
    __m256i values;
    if (!to_values(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + done)), values)) {
      break;
    }
    // Exactly 24 bytes are stored: bytes past them must keep their content when a later quad
    // turns out invalid.
    const __m256i out = join_values(values);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes + written), _mm256_castsi256_si128(out));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(bytes + written + 16),
                     _mm256_extracti128_si256(out, 1));
  }
  return done;
}

}  // namespace tarn::base64
