#include "cipher/win32_credential_file.h"

#include <windows.h>

#include "frame/win32_handle.h"

namespace tarn::cipher {

std::optional<std::string> Win32CredentialFile::read_prefix(std::size_t max_bytes) {
  // Others may go on reading and writing the file while we hold it, but not delete it. The
  // handle is inheritable, as it always was.
  SECURITY_ATTRIBUTES security{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const frame::FileHandle file(CreateFileA(kCredentialFileName, GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, &security,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;

  std::string bytes(max_bytes, '\0');
  std::size_t filled = 0;
  while (filled < max_bytes) {
    DWORD got = 0;
    if (!ReadFile(file.get(), bytes.data() + filled, static_cast<DWORD>(max_bytes - filled), &got,
                  nullptr)) {
      return std::nullopt;
    }
    if (got == 0) break;
    filled += got;
  }
  bytes.resize(filled);
  return bytes;
}

}  // namespace tarn::cipher
