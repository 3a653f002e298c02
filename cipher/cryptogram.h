// The in-place text cipher shared by the Cryptogram export and the credential reader.
#pragma once

#include <cstdint>

namespace tarn::cipher {

// Enciphers or deciphers the zero-terminated `text` in place with the first byte of `key`.
// Every byte other than the key byte is XORed with it; the key byte itself is kept, so no
// output byte is ever zero and a second call with the same key restores the text. The key is
// read once, before any text byte changes, and not at all for an empty text, so a key that
// points into `text` behaves like a copy of itself. One pass finds the end and transforms,
// on the fastest path the processor supports.
void cryptogram(char* text, const char* key);

// The same on a given path, for tests and benchmarks; the processor must support it.
enum class CipherPath : std::uint8_t { scalar, sse2, avx2 };
inline constexpr CipherPath kAllCipherPaths[] = {CipherPath::scalar, CipherPath::sse2,
                                                 CipherPath::avx2};
bool cipher_path_supported(CipherPath path);
const char* cipher_path_name(CipherPath path);
void cryptogram(char* text, const char* key, CipherPath path);

// The per-path loops behind cryptogram(): each transforms from `text` up to its terminating
// zero byte with `key_byte`.
void cryptogram_scalar(unsigned char* text, unsigned char key_byte);
void cryptogram_sse2(unsigned char* text, unsigned char key_byte);
void cryptogram_avx2(unsigned char* text, unsigned char key_byte);

}  // namespace tarn::cipher
