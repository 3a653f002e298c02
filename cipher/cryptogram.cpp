#include "cipher/cryptogram.h"

#include <emmintrin.h>

#include <cstdint>

#include "common/cpu.h"

namespace tarn::cipher {

void cryptogram_scalar(unsigned char* text, unsigned char key_byte) {
  for (; *text != 0; ++text) {
    if (*text != key_byte) *text ^= key_byte;
  }
}

// Whole aligned 16-byte blocks are read even where the terminator lies inside one: an aligned
// block never crosses a page, so this cannot fault, but the bytes after the terminator are
// outside the string, which AddressSanitizer would report. They are only read, never written:
// the block with the terminator is finished byte by byte.
__attribute__((no_sanitize_address)) void cryptogram_sse2(unsigned char* text,
                                                          unsigned char key_byte) {
  for (; reinterpret_cast<std::uintptr_t>(text) % 16 != 0; ++text) {
    if (*text == 0) return;
    if (*text != key_byte) *text ^= key_byte;
  }
  const __m128i key = _mm_set1_epi8(static_cast<char>(key_byte));
  const __m128i zero = _mm_setzero_si128();
  for (;; text += 16) {
    const __m128i block = _mm_load_si128(reinterpret_cast<const __m128i*>(text));
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(block, zero)) != 0) break;
    // XOR with the key byte except where the byte equals it.
    const __m128i mask = _mm_andnot_si128(_mm_cmpeq_epi8(block, key), key);
    _mm_store_si128(reinterpret_cast<__m128i*>(text), _mm_xor_si128(block, mask));
  }
  cryptogram_scalar(text, key_byte);
}

bool cipher_path_supported(CipherPath path) {
  switch (path) {
    case CipherPath::scalar:
      return true;
    case CipherPath::sse2:
      return cpu::has(cpu::Feature::sse2);
    case CipherPath::avx2:
      return cpu::has(cpu::Feature::avx2);
  }
  return false;
}

const char* cipher_path_name(CipherPath path) {
  switch (path) {
    case CipherPath::scalar:
      return "scalar";
    case CipherPath::sse2:
      return "sse2";
    case CipherPath::avx2:
      return "avx2";
  }
  return "unknown";
}

void cryptogram(char* text, const char* key, CipherPath path) {
  auto* bytes = reinterpret_cast<unsigned char*>(text);
  if (*bytes == 0) return;
  const auto key_byte = static_cast<unsigned char>(*key);
  switch (path) {
    case CipherPath::avx2:
      return cryptogram_avx2(bytes, key_byte);
    case CipherPath::sse2:
      return cryptogram_sse2(bytes, key_byte);
    case CipherPath::scalar:
      return cryptogram_scalar(bytes, key_byte);
  }
}

void cryptogram(char* text, const char* key) {
  const CipherPath path = cpu::has(cpu::Feature::avx2)   ? CipherPath::avx2
                          : cpu::has(cpu::Feature::sse2) ? CipherPath::sse2
                                                         : CipherPath::scalar;
  cryptogram(text, key, path);
}

}  // namespace tarn::cipher
