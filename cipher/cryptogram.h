// The in-place text cipher shared by the Cryptogram export and the credential reader.
#pragma once

namespace tarn::cipher {

// Enciphers or deciphers the zero-terminated `text` in place with the first byte of `key`.
// Every byte other than the key byte is XORed with it; the key byte itself is kept, so no
// output byte is ever zero and a second call with the same key restores the text. The key is
// read once, before any text byte changes, and not at all for an empty text, so a key that
// points into `text` behaves like a copy of itself.
void cryptogram(char* text, const char* key);

}  // namespace tarn::cipher
