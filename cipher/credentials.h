// The credential file "qzon.id": two length-prefixed fields, each enciphered with the cipher
// under a fixed key. This file holds the pure rules; reading the file goes through a port.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tarn::cipher {

inline constexpr const char* kCredentialFileName = "qzon.id";
inline constexpr const char* kCredentialKey = "mzq8rtbwe5hyxpl";
inline constexpr std::size_t kMaxFieldLength = 99;

// The fields can only come from this many leading bytes of the file (two lengths of two
// digits, two fields of at most 99 bytes), so nothing past them is ever read.
inline constexpr std::size_t kCredentialPrefixLength = 2 + kMaxFieldLength + 2 + kMaxFieldLength;

struct CredentialFields {
  std::string user;      // still enciphered
  std::string password;  // still enciphered
};

// Takes the two enciphered fields out of the file's leading bytes. Never fails: malformed
// lengths count as 0 or are cut at the end of the text, as the stored files have always been
// read.
CredentialFields credential_fields(std::string_view file_bytes);

// Builds the file content for a user name and password (each at most 99 bytes, no zero byte).
std::string credential_file_content(std::string_view user, std::string_view password);

// The port through which the reader gets the file: the first `max_bytes` bytes of the
// credential file in the current directory, or nothing when it cannot be opened or read.
class CredentialSource {
 public:
  virtual ~CredentialSource() = default;
  virtual std::optional<std::string> read_prefix(std::size_t max_bytes) = 0;
};

// Reads the credential file through `source` and writes the deciphered fields, zero-terminated,
// into `user` and `password`. Returns 0, or -1 with both buffers untouched when the file could
// not be read.
int read_credentials(CredentialSource& source, char* user, char* password);

}  // namespace tarn::cipher
