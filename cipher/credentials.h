// The credential file "qzon.id": two length-prefixed fields, each enciphered with the cipher
// under a fixed key. This file holds the pure rules; reading the file goes through a port.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// Why `value` cannot be stored as a field (longer than 99 bytes, or holding a zero byte that
// would end the reader's text), or nothing when it can.
std::optional<std::string> credential_value_problem(std::string_view value);

// Builds the file content for a user name and password. Throws std::invalid_argument for a value
// that credential_value_problem refuses, since its file would read back as something else.
std::string credential_file_content(std::string_view user, std::string_view password);

// One thing that keeps a file from being a credential file as credential_file_content writes
// it, at the byte offset where it shows, in words for the person who has to fix it.
struct CredentialFileProblem {
  std::size_t offset;
  std::string description;
};

// Everything wrong with `file_bytes` as a credential file, in the order of the offsets; empty
// for a well-formed file. The structure is followed up to its first fault, since every length
// after a broken one would be read from the wrong place. The reader accepts every file anyway;
// this tells a person why a file yields something other than what they stored.
std::vector<CredentialFileProblem> credential_file_problems(std::string_view file_bytes);

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
