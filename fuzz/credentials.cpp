// The credential text rules on arbitrary input: the fields taken from any file content stay
// within their two-digit lengths and are pieces of the text at the places the lengths give; and
// a content built from any user name and password reads back as exactly those, through the
// reader and its buffers as the export uses them.
#include "cipher/credentials.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "cipher/cryptogram.h"
#include "fakes/string_credential_source.h"

namespace {

using namespace tarn::cipher;

void check(bool condition) {
  if (!condition) std::abort();
}

void check_fields(std::string_view file) {
  const CredentialFields fields = credential_fields(file);
  check(fields.user.size() <= kMaxFieldLength && fields.password.size() <= kMaxFieldLength);
  const std::string_view text = file.substr(0, file.find('\0'));
  check(fields.user.find('\0') == std::string::npos);
  check(fields.password.find('\0') == std::string::npos);
  // A non-empty user name always starts right after its length.
  if (!fields.user.empty()) check(text.substr(2, fields.user.size()) == fields.user);
  if (!fields.password.empty()) check(text.find(fields.password) != std::string_view::npos);
  // Only the leading bytes the reader asks for can matter.
  const CredentialFields prefix_fields = credential_fields(file.substr(0, kCredentialPrefixLength));
  check(prefix_fields.user == fields.user && prefix_fields.password == fields.password);

  // The reader writes each field, deciphered and terminated, and nothing past it.
  tarn::fakes::StringCredentialSource source{std::string(file)};
  char user[kMaxFieldLength + 9], password[kMaxFieldLength + 9];
  std::memset(user, 0x5A, sizeof user);
  std::memset(password, 0x5A, sizeof password);
  check(read_credentials(source, user, password) == 0);
  std::string expected_user = fields.user, expected_password = fields.password;
  cryptogram(expected_user.data(), kCredentialKey);
  cryptogram(expected_password.data(), kCredentialKey);
  check(user == expected_user && password == expected_password);
  check(static_cast<unsigned char>(user[fields.user.size() + 1]) == 0x5A);
  check(static_cast<unsigned char>(password[fields.password.size() + 1]) == 0x5A);
}

void check_round_trip(std::string_view raw) {
  // A user name and a password of at most 99 bytes without zeros, split where the first byte
  // says.
  std::string bytes(raw);
  for (char& c : bytes) {
    if (c == '\0') c = '\x01';
  }
  const std::size_t split = bytes.empty() ? 0 : static_cast<unsigned char>(bytes[0]) % 100;
  const std::string rest = bytes.empty() ? "" : bytes.substr(1);
  const std::string user = rest.substr(0, std::min(split, rest.size()));
  const std::string password = rest.substr(user.size(), kMaxFieldLength);

  tarn::fakes::StringCredentialSource source(credential_file_content(user, password));
  char user_out[kMaxFieldLength + 1], password_out[kMaxFieldLength + 1];
  check(read_credentials(source, user_out, password_out) == 0);
  check(user_out == user && password_out == password);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  check_fields(input);
  check_round_trip(input);
  return 0;
}
