// The exports: each hands its arguments to the logic with the Win32 ports, behind the
// exception barrier. No logic lives here.
#include "cipher/credentials.h"
#include "cipher/cryptogram.h"
#include "cipher/win32_credential_file.h"
#include "frame/guard.h"
#include "fsutil/create_dir.h"
#include "fsutil/delete.h"
#include "fsutil/list.h"
#include "fsutil/win32_file_system.h"
#include "tarn.h"

using tarn::frame::guarded;
using tarn::fsutil::win32_file_system;

extern "C" {

int32_t TARN_CALL CreateDir(const char* path) {
  return guarded(-1,
                 [&] { return tarn::fsutil::create_directory_path(win32_file_system(), path); });
}

int32_t TARN_CALL Cryptogram(char* text, const char* key) {
  return guarded(0, [&] { return tarn::cipher::cryptogram(text, key), 0; });
}

int32_t TARN_CALL DelDir(const char* path) {
  return guarded(-2, [&] { return tarn::fsutil::delete_tree(win32_file_system(), path); });
}

int32_t TARN_CALL DelFile(const char* pattern) {
  return guarded(-2,
                 [&] { return tarn::fsutil::delete_matching_files(win32_file_system(), pattern); });
}

int32_t TARN_CALL GetDirFiles(const char* pattern, char** pathBuffers, int32_t copyPaths) {
  return guarded(-1, [&] {
    return tarn::fsutil::list_files(win32_file_system(), pattern, pathBuffers, copyPaths);
  });
}

int32_t TARN_CALL GetQzDbUser(char* user, char* password) {
  return guarded(-1, [&] {
    tarn::cipher::Win32CredentialFile file;
    return tarn::cipher::read_credentials(file, user, password);
  });
}

}  // extern "C"
