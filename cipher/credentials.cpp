#include "cipher/credentials.h"

#include <cstring>

#include "cipher/cryptogram.h"

namespace tarn::cipher {
namespace {

// The piece of `text` at `start` of `count` bytes, with negative values taken as 0 and the
// piece cut at the end of the text: the rule the stored files have always been read by.
std::string_view piece(std::string_view text, long start, long count) {
  const long length = static_cast<long>(text.size());
  if (start < 0) start = 0;
  if (count < 0) count = 0;
  if (start > length) return {};
  if (start + count > length) count = length - start;
  return text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(count));
}

// atoi in the "C" locale over a piece of at most two bytes: blanks, an optional sign, digits.
long length_value(std::string_view digits) {
  std::size_t i = 0;
  while (i < digits.size() && (digits[i] == ' ' || (digits[i] >= '\t' && digits[i] <= '\r'))) {
    ++i;
  }
  bool negative = false;
  if (i < digits.size() && (digits[i] == '+' || digits[i] == '-')) {
    negative = digits[i] == '-';
    ++i;
  }
  long value = 0;
  for (; i < digits.size() && digits[i] >= '0' && digits[i] <= '9'; ++i) {
    value = value * 10 + (digits[i] - '0');
  }
  return negative ? -value : value;
}

}  // namespace

CredentialFields credential_fields(std::string_view file_bytes) {
  const std::string_view text = file_bytes.substr(0, file_bytes.find('\0'));
  const long user_length = length_value(piece(text, 0, 2));
  const std::string_view user = piece(text, 2, user_length);
  const long password_length = length_value(piece(text, user_length + 2, 2));
  const std::string_view password = piece(text, user_length + 4, password_length);
  return {std::string(user), std::string(password)};
}

std::string credential_file_content(std::string_view user, std::string_view password) {
  std::string content;
  for (std::string_view value : {user, password}) {
    std::string field(value);
    cryptogram(field.data(), kCredentialKey);
    content += static_cast<char>('0' + field.size() / 10);
    content += static_cast<char>('0' + field.size() % 10);
    content += field;
  }
  return content;
}

int read_credentials(CredentialSource& source, char* user, char* password) {
  const std::optional<std::string> bytes = source.read_prefix(kCredentialPrefixLength);
  if (!bytes) return -1;
  const CredentialFields fields = credential_fields(*bytes);
  // Both copies are made before either is deciphered, as callers have always seen it.
  std::memcpy(user, fields.user.c_str(), fields.user.size() + 1);
  std::memcpy(password, fields.password.c_str(), fields.password.size() + 1);
  cryptogram(user, kCredentialKey);
  cryptogram(password, kCredentialKey);
  return 0;
}

}  // namespace tarn::cipher
