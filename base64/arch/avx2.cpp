// The AVX2 path: the SSSE3 method on both 128-bit lanes at once, 24 bytes to 32 characters and
// back per register. Compiled with -mavx2.
#include <immintrin.h>

#include "base64/kernels.h"

namespace tarn::base64 {
namespace {

inline __m256i both_lanes(__m128i lane) { return _mm256_broadcastsi128_si256(lane); }

inline __m256i load_two_lanes(const std::uint8_t* low, const std::uint8_t* high) {
  return _mm256_inserti128_si256(
      _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(low))),
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(high)), 1);
}

// Shuffles that put each group of 3 bytes b0 b1 b2 into a 32-bit lane as b1 b0 b2 b1, so that
// the 16-bit halves hold b0:b1 and b1:b2: for 12 bytes at 0..11 of both lanes, and for 12 at
// 4..15 of the low lane and 0..11 of the high one.
#define TARN_GROUPS(o)                                                                        \
  1 + o, 0 + o, 2 + o, 1 + o, 4 + o, 3 + o, 5 + o, 4 + o, 7 + o, 6 + o, 8 + o, 7 + o, 10 + o, \
      9 + o, 11 + o, 10 + o
// Functions, not constants: a namespace-scope vector would be built with AVX instructions at
// load time, on processors without AVX too.
inline __m256i groups_at_0() { return _mm256_setr_epi8(TARN_GROUPS(0), TARN_GROUPS(0)); }
inline __m256i groups_at_4_then_0() { return _mm256_setr_epi8(TARN_GROUPS(4), TARN_GROUPS(0)); }
#undef TARN_GROUPS

// Spreads each group of 3 bytes over a 32-bit lane as 4 six-bit values (see ssse3.cpp).
inline __m256i split_groups(__m256i in, __m256i groups) {
  in = _mm256_shuffle_epi8(in, groups);
  const __m256i first_third = _mm256_mulhi_epu16(
      _mm256_and_si256(in, _mm256_set1_epi32(0x0fc0fc00)), _mm256_set1_epi32(0x04000040));
  const __m256i second_fourth = _mm256_mullo_epi16(
      _mm256_and_si256(in, _mm256_set1_epi32(0x003f03f0)), _mm256_set1_epi32(0x01000010));
  return _mm256_or_si256(first_third, second_fourth);
}

// Each range of the alphabet is the value plus a constant: A-Z +65, a-z +71, 0-9 -4, '+' -19,
// '/' -16. A saturating subtract maps 52..63 to 1..12 and everything below to 0; adding 1 to
// all values above 25 then gives each range its own table index.
inline __m256i to_characters(__m256i values) {
  __m256i index = _mm256_subs_epu8(values, _mm256_set1_epi8(51));
  index = _mm256_sub_epi8(index, _mm256_cmpgt_epi8(values, _mm256_set1_epi8(25)));
  const __m256i offsets =
      both_lanes(_mm_setr_epi8(65, 71, -4, -4, -4, -4, -4, -4, -4, -4, -4, -4, -19, -16, 0, 0));
  return _mm256_add_epi8(values, _mm256_shuffle_epi8(offsets, index));
}

// Translates 32 characters to their values and returns a mask that is nonzero where any of
// them is not in the alphabet (see ssse3.cpp for the method).
inline __m256i to_values(__m256i characters, __m256i& values) {
  const __m256i nibble_mask = _mm256_set1_epi8(0x0f);
  const __m256i high = _mm256_and_si256(_mm256_srli_epi32(characters, 4), nibble_mask);
  const __m256i low = _mm256_and_si256(characters, nibble_mask);
  const __m256i invalid_for_low =
      both_lanes(_mm_setr_epi8(0x15, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x13,
                               0x1A, 0x1B, 0x1B, 0x1B, 0x1A));
  const __m256i class_of_high =
      both_lanes(_mm_setr_epi8(0x10, 0x10, 0x01, 0x02, 0x04, 0x08, 0x04, 0x08, 0x10, 0x10, 0x10,
                               0x10, 0x10, 0x10, 0x10, 0x10));
  // '/' comes out as 66 and the minimum with 63 puts it in place (see ssse3.cpp).
  const __m256i offsets =
      both_lanes(_mm_setr_epi8(0, 0, 19, 4, -65, -65, -71, -71, 0, 0, 0, 0, 0, 0, 0, 0));
  values = _mm256_min_epu8(_mm256_add_epi8(characters, _mm256_shuffle_epi8(offsets, high)),
                           _mm256_set1_epi8(63));
  return _mm256_and_si256(_mm256_shuffle_epi8(invalid_for_low, low),
                          _mm256_shuffle_epi8(class_of_high, high));
}

// Packs 32 six-bit values into 12 bytes at the start of each lane.
inline __m256i join_values(__m256i values) {
  const __m256i pairs = _mm256_maddubs_epi16(values, _mm256_set1_epi32(0x01400140));
  const __m256i lanes = _mm256_madd_epi16(pairs, _mm256_set1_epi32(0x00011000));
  return _mm256_shuffle_epi8(
      lanes, both_lanes(_mm_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1)));
}

// Stores the 24 bytes of a joined block with two 16-byte stores, the second over the first's
// 4 spare bytes; its own 4 spare bytes land where the next block goes.
inline void store_overlapping(std::uint8_t* out, __m256i joined) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(joined));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 12), _mm256_extracti128_si256(joined, 1));
}

// Stores exactly the 24 bytes of a joined block.
inline void store_exact(std::uint8_t* out, __m256i joined) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(joined));
  const __m128i high = _mm256_extracti128_si256(joined, 1);
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out + 12), high);
  const int last_four = _mm_cvtsi128_si32(_mm_srli_si128(high, 8));
  __builtin_memcpy(out + 20, &last_four, 4);
}

}  // namespace

std::size_t encode_blocks_avx2(const std::uint8_t* bytes, std::size_t length, char* text) {
  // A block is 24 bytes, 12 per lane. The first is loaded as two 16-byte halves; every later
  // one with a single 32-byte load that starts 4 bytes early, so that the low lane finds its
  // 12 bytes at 4..15 and the high lane at 0..11, and one lane-specific shuffle places both.
  // Either way a block needs 28 readable bytes from its start.
  if (length < 28) return 0;
  const __m256i first = load_two_lanes(bytes, bytes + 12);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(text),
                      to_characters(split_groups(first, groups_at_0())));
  std::size_t done = 24;
  text += 32;
  for (; length - done >= 4 * 24 + 4; done += 4 * 24, text += 4 * 32) {
    for (int block = 0; block < 4; ++block) {
      const __m256i in =
          _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + done + 24 * block - 4));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(text + 32 * block),
                          to_characters(split_groups(in, groups_at_4_then_0())));
    }
  }
  for (; length - done >= 28; done += 24, text += 32) {
    const __m256i in = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + done - 4));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(text),
                        to_characters(split_groups(in, groups_at_4_then_0())));
  }
  return done;
}

std::size_t decode_blocks_avx2(const char* text, std::size_t length, std::uint8_t* bytes,
                               std::size_t room) {
  std::size_t done = 0, written = 0;
  const auto load = [&](std::size_t at) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + at));
  };
  // Four blocks at a time, checked together before any is stored. Bytes past the last block
  // must keep their content when a later quad turns out invalid, so the last store of a group
  // is exact; the spare bytes of the others are overwritten by the next block.
  while (length - done >= 128 && room - written >= 96) {
    __m256i v0, v1, v2, v3;
    const __m256i clash = _mm256_or_si256(
        _mm256_or_si256(to_values(load(done), v0), to_values(load(done + 32), v1)),
        _mm256_or_si256(to_values(load(done + 64), v2), to_values(load(done + 96), v3)));
    if (!_mm256_testz_si256(clash, clash)) break;
    store_overlapping(bytes + written, join_values(v0));
    store_overlapping(bytes + written + 24, join_values(v1));
    store_overlapping(bytes + written + 48, join_values(v2));
    store_exact(bytes + written + 72, join_values(v3));
    done += 128;
    written += 96;
  }
  for (; length - done >= 32 && room - written >= 24; done += 32, written += 24) {
    __m256i values;
    const __m256i clash = to_values(load(done), values);
    if (!_mm256_testz_si256(clash, clash)) break;
    store_exact(bytes + written, join_values(values));
  }
  return done;
}

}  // namespace tarn::base64
