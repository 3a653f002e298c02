// Win32 adapter: reads the credential file from the process's current directory.
#pragma once

#include "cipher/credentials.h"

namespace tarn::cipher {

class Win32CredentialFile final : public CredentialSource {
 public:
  std::optional<std::string> read_prefix(std::size_t max_bytes) override;
};

}  // namespace tarn::cipher
