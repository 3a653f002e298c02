#include "cipher/cryptogram.h"

namespace tarn::cipher {

void cryptogram(char* text, const char* key) {
  auto* p = reinterpret_cast<unsigned char*>(text);
  if (*p == 0) return;
  const unsigned char k = static_cast<unsigned char>(*key);
  for (; *p != 0; ++p) {
    if (*p != k) *p ^= k;
  }
}

}  // namespace tarn::cipher
