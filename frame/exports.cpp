// The exports: each hands its arguments to the logic with the Win32 ports, behind the
// exception barrier. No logic lives here.
#include "base64/codec.h"
#include "cipher/credentials.h"
#include "cipher/cryptogram.h"
#include "cipher/win32_credential_file.h"
#include "frame/guard.h"
#include "fsutil/create_dir.h"
#include "fsutil/delete.h"
#include "fsutil/list.h"
#include "fsutil/win32_file_system.h"
#include "tarn.h"
#include "winutil/help_launcher.h"
#include "winutil/progress_bar.h"
#include "winutil/win32_gdi.h"
#include "winutil/win32_help.h"

using tarn::frame::guarded;
using tarn::fsutil::win32_file_system;

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

int32_t TARN_CALL Processor(void* window, double fraction) {
  return guarded(0, [&] {
    tarn::winutil::Win32Gdi gdi;
    return tarn::winutil::paint_progress_bar(
        gdi, tarn::winutil::WindowHandle{reinterpret_cast<uintptr_t>(window)}, fraction);
  });
}

int32_t TARN_CALL chmOpen(void* owner, const char* helpFile, int32_t action, uintptr_t data) {
  return guarded(1, [&] {
    tarn::winutil::Win32Help help;
    return tarn::winutil::open_help(help, tarn::winutil::process_help_engine_loader(),
                                    reinterpret_cast<uintptr_t>(owner), helpFile, action, data);
  });
}

}  // extern "C"
