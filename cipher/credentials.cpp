#include "cipher/credentials.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>

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

// `bytes` in double quotes, with anything but printable ASCII written as \xNN, so that a
// message shows exactly what the file holds.
std::string quoted(std::string_view bytes) {
  std::string text = "\"";
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && c != '"' && c != '\\') {
      text += c;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      text += escaped;
    }
  }
  return text + "\"";
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::string bytes_phrase(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " byte" : " bytes");
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

std::optional<std::string> credential_value_problem(std::string_view value) {
  if (value.size() > kMaxFieldLength) {
    return "it is " + bytes_phrase(value.size()) + " long; a field holds at most " +
           std::to_string(kMaxFieldLength);
  }
  if (const std::size_t zero = value.find('\0'); zero != std::string_view::npos) {
    return "it holds a zero byte at position " + std::to_string(zero + 1) +
           ", where the reader would stop";
  }
  return std::nullopt;
}

std::string credential_file_content(std::string_view user, std::string_view password) {
  for (std::string_view value : {user, password}) {
    if (const auto problem = credential_value_problem(value)) throw std::invalid_argument(*problem);
  }
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

std::vector<CredentialFileProblem> credential_file_problems(std::string_view file_bytes) {
  std::vector<CredentialFileProblem> problems;
  if (const std::size_t zero = file_bytes.find('\0'); zero != std::string_view::npos) {
    problems.push_back({zero, "a zero byte at offset " + std::to_string(zero) +
                                  " ends the text the reader sees; nothing after it is read"});
  }

  std::size_t offset = 0;
  bool complete = true;
  for (const char* field : {"user name", "password"}) {
    const std::string name = field;
    const std::size_t left = file_bytes.size() - offset;
    if (left < 2) {
      problems.push_back(
          {offset,
           file_bytes.empty() ? "the file is empty; it should begin with the user "
                                "name's length, two decimal digits"
           : left == 0
               ? "the file ends where the " + name + "'s length should follow, two decimal digits"
               : "the " + name + "'s length is cut off by the end of the file: " +
                     quoted(file_bytes.substr(offset)) + " where two decimal digits belong"});
      complete = false;
      break;
    }
    const std::string_view digits = file_bytes.substr(offset, 2);
    if (!is_digit(digits[0]) || !is_digit(digits[1])) {
      problems.push_back({offset, "the " + name + "'s length at offset " + std::to_string(offset) +
                                      " is " + quoted(digits) +
                                      "; it must be two decimal digits, such as \"07\""});
      complete = false;
      break;
    }
    const auto length = static_cast<std::size_t>((digits[0] - '0') * 10 + (digits[1] - '0'));
    offset += 2;
    if (file_bytes.size() - offset < length) {
      problems.push_back({offset, "the " + name + " should be " + bytes_phrase(length) +
                                      " long from offset " + std::to_string(offset) +
                                      ", but the file ends after " +
                                      bytes_phrase(file_bytes.size() - offset)});
      complete = false;
      break;
    }
    offset += length;
  }
  if (complete && offset < file_bytes.size()) {
    problems.push_back({offset, bytes_phrase(file_bytes.size() - offset) +
                                    " follow the password from offset " + std::to_string(offset) +
                                    "; a credential file ends right after the password"});
  }
  std::stable_sort(problems.begin(), problems.end(),
                   [](const auto& a, const auto& b) { return a.offset < b.offset; });
  return problems;
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
