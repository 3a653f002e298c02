// The cipher's AVX2 loop, compiled with -mavx2 (see cryptogram.cpp for the SSE2 one).
#include <immintrin.h>

#include <cstdint>

#include "cipher/cryptogram.h"

namespace tarn::cipher {

// Reads whole aligned 32-byte blocks, past the terminator too, as the SSE2 loop does.
__attribute__((no_sanitize_address)) void cryptogram_avx2(unsigned char* text,
                                                          unsigned char key_byte) {
  for (; reinterpret_cast<std::uintptr_t>(text) % 32 != 0; ++text) {
    if (*text == 0) return;
    if (*text != key_byte) *text ^= key_byte;
  }
  const __m256i key = _mm256_set1_epi8(static_cast<char>(key_byte));
  const __m256i zero = _mm256_setzero_si256();
  for (;; text += 32) {
    const __m256i block = _mm256_load_si256(reinterpret_cast<const __m256i*>(text));
    if (!_mm256_testz_si256(_mm256_cmpeq_epi8(block, zero), _mm256_set1_epi8(-1))) break;
    const __m256i mask = _mm256_andnot_si256(_mm256_cmpeq_epi8(block, key), key);
    _mm256_store_si256(reinterpret_cast<__m256i*>(text), _mm256_xor_si256(block, mask));
  }
  for (; *text != 0; ++text) {
    if (*text != key_byte) *text ^= key_byte;
  }
}

}  // namespace tarn::cipher
