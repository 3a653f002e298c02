#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "cipher/credentials.h"
#include "cipher/cryptogram.h"

namespace tarn::cipher {
namespace {

std::string enciphered(std::string text, const char* key) {
  cryptogram(text.data(), key);
  return text;
}

TEST(Cryptogram, XorsEveryByteExceptTheKeyByte) {
  EXPECT_EQ(enciphered("abc", "a"), std::string("a\x03\x02"));
  EXPECT_EQ(enciphered("mmm", "m"), "mmm");
  EXPECT_EQ(enciphered("\x80\xff\x41", "\x01"), std::string("\x81\xfe\x40"));
}

TEST(Cryptogram, EmptyKeyLeavesTextAlone) { EXPECT_EQ(enciphered("secret", ""), "secret"); }

TEST(Cryptogram, EmptyTextNeverReadsTheKey) {
  char text[] = "";
  cryptogram(text, nullptr);
  EXPECT_EQ(text[0], '\0');
}

TEST(Cryptogram, OnlyTheFirstKeyByteCounts) {
  EXPECT_EQ(enciphered("password", "k"), enciphered("password", "kzzzzz"));
}

TEST(Cryptogram, SelfInverseKeepsLengthAndNeverWritesZero) {
  std::mt19937 random(7);
  for (int round = 0; round < 2000; ++round) {
    std::string text(random() % 70, '\0');
    for (char& c : text) c = static_cast<char>(1 + random() % 255);
    const char key[2] = {static_cast<char>(random() % 256), 0};
    const std::string once = enciphered(text, key);
    ASSERT_EQ(once.size(), text.size());
    ASSERT_EQ(once.find('\0'), std::string::npos);
    ASSERT_EQ(enciphered(once, key), text);
  }
}

TEST(Cryptogram, KeyInsideTheTextActsAsACopy) {
  char text[] = "abcabc";
  cryptogram(text, text + 1);  // key byte 'b', which the call itself leaves unchanged
  EXPECT_EQ(std::string(text), enciphered("abcabc", "b"));

  char first[] = "xyz";
  cryptogram(first, first);  // the key byte is the first text byte, read before it is used
  EXPECT_EQ(std::string(first), enciphered("xyz", "x"));
}

// Every path against the byte rule, at every start alignment and on both sides of the vector
// widths, with key bytes mixed in and guard bytes after the terminator that must stay as they
// were.
TEST(CryptogramPaths, MatchTheByteRuleAndStopAtTheTerminator) {
  std::mt19937 random(13);
  for (CipherPath path : kAllCipherPaths) {
    if (!cipher_path_supported(path)) continue;
    for (std::size_t length = 0; length <= 130; ++length) {
      for (std::size_t offset = 0; offset < 32; offset += (length < 70 ? 1 : 7)) {
        const char key_byte = static_cast<char>(random() % 2 ? 'k' : 1 + random() % 255);
        std::string text(length, '\0');
        for (char& c : text)
          c = random() % 5 == 0 ? key_byte : static_cast<char>(1 + random() % 255);
        std::string expected = text;
        for (char& c : expected) {
          if (c != key_byte) c = static_cast<char>(c ^ key_byte);
        }
        alignas(64) char buffer[256];
        std::memset(buffer, '\x5a', sizeof buffer);
        std::memcpy(buffer + offset, text.c_str(), length + 1);
        const char key[] = {key_byte, 'z', 0};
        cryptogram(buffer + offset, key, path);
        ASSERT_EQ(std::string(buffer + offset, length), expected)
            << cipher_path_name(path) << " length " << length << " offset " << offset;
        ASSERT_EQ(buffer[offset + length], '\0');
        ASSERT_EQ(std::string(buffer + offset + length + 1, 64), std::string(64, '\x5a'));
      }
    }
  }
}

TEST(CryptogramPaths, KeyInsideALongTextActsAsACopy) {
  for (CipherPath path : kAllCipherPaths) {
    if (!cipher_path_supported(path)) continue;
    std::string text(200, 'q');
    text[77] = 'x';
    std::string expected = text;
    for (char& c : expected) {
      if (c != 'x') c = static_cast<char>(c ^ 'x');
    }
    cryptogram(text.data(), text.data() + 77, path);
    EXPECT_EQ(text, expected) << cipher_path_name(path);
  }
}

// File contents and the enciphered fields they yield, malformed files included: a reader of
// stored files must accept each exactly as it always has.
struct FieldsCase {
  std::string file;
  std::string user;
  std::string password;
};

TEST(CredentialFields, FollowTheStoredFileRules) {
  const FieldsCase cases[] = {
      {"", "", ""},
      {"0000", "", ""},
      {"03abc02de", "abc", "de"},
      {"03abc02detrailing", "abc", "de"},
      {"05ab", "ab", ""},                      // first field cut at the end, second length gone
      {"7", "", ""},                           // a single digit is the whole first length
      {"xy02ab", "", "ab"},                    // letters give 0: second length read at offset 2
      {" 2ab01c", "ab", "c"},                  // blank, then a digit
      {"2xab", "ab", ""},                      // a digit, then a letter, gives that digit
      {"+2ab01c", "ab", "c"},                  // plus sign, then a digit
      {"-3abc", "", ""},                       // negative: second length read at offset 0 too
      {std::string("02a\0b01c", 8), "a", ""},  // the text ends at the first zero byte
  };
  for (const FieldsCase& c : cases) {
    const CredentialFields fields = credential_fields(c.file);
    EXPECT_EQ(fields.user, c.user) << "file: " << c.file;
    EXPECT_EQ(fields.password, c.password) << "file: " << c.file;
  }
}

class FakeSource final : public CredentialSource {
 public:
  explicit FakeSource(std::optional<std::string> content) : content_(std::move(content)) {}
  std::optional<std::string> read_prefix(std::size_t max_bytes) override {
    asked_for = max_bytes;
    if (!content_) return std::nullopt;
    return content_->substr(0, max_bytes);
  }
  std::size_t asked_for = 0;

 private:
  std::optional<std::string> content_;
};

TEST(ReadCredentials, MissingFileLeavesBuffersUntouched) {
  FakeSource source(std::nullopt);
  char user[8] = "keep", password[8] = "keep";
  EXPECT_EQ(read_credentials(source, user, password), -1);
  EXPECT_STREQ(user, "keep");
  EXPECT_STREQ(password, "keep");
}

TEST(ReadCredentials, RoundTripsLongestFieldsAndKeyBytes) {
  const std::string user(99, 'u');
  const std::string password = "m" + std::string(97, '\xe9') + "m";  // 'm' is the key byte
  FakeSource source(credential_file_content(user, password) + "ignored");
  char user_out[100], password_out[100];
  ASSERT_EQ(read_credentials(source, user_out, password_out), 0);
  EXPECT_EQ(std::string(user_out), user);
  EXPECT_EQ(std::string(password_out), password);
  EXPECT_EQ(source.asked_for, kCredentialPrefixLength);
}

TEST(CredentialFileContent, WritesTwoDigitLengthsAndEnciphersWithTheFixedKey) {
  const std::string content = credential_file_content("sa", "m1");
  EXPECT_EQ(content, "02" + enciphered("sa", kCredentialKey) + "02m" + enciphered("1", "m"));
  EXPECT_EQ(credential_file_content("", ""), "0000");
}

}  // namespace
}  // namespace tarn::cipher
