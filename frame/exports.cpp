// The exports: each hands its arguments to the logic with the Win32 ports, behind the
// exception barrier. No logic lives here.
#include "base64/codec.h"
#include "cipher/credentials.h"
#include "cipher/cryptogram.h"
#include "cipher/win32_credential_file.h"
#include "frame/guard.h"
#include "tarn.h"

using tarn::frame::guarded;

extern "C" {

int32_t TARN_CALL Base64Decode(const char* source, int32_t sourceLength, unsigned char* target,
                               int32_t targetSize) {
  return guarded(-1, [&] {
    return tarn::base64::decode_into_buffer(source, sourceLength, target, targetSize);
  });
}

int32_t TARN_CALL Base64Encode(const unsigned char* source, int32_t sourceLength, char* target,
                               int32_t targetSize) {
  return guarded(-2, [&] {
    return tarn::base64::encode_into_buffer(source, sourceLength, target, targetSize);
  });
}

int32_t TARN_CALL Cryptogram(char* text, const char* key) {
  return guarded(0, [&] { return tarn::cipher::cryptogram(text, key), 0; });
}

int32_t TARN_CALL GetQzDbUser(char* user, char* password) {
  return guarded(-1, [&] {
    tarn::cipher::Win32CredentialFile file;
    return tarn::cipher::read_credentials(file, user, password);
  });
}

}  // extern "C"
