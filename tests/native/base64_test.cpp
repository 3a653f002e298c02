#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "base64/codec.h"
#include "support/base64_oracle.h"
#include "support/base64_vectors.h"

namespace tarn::base64 {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::uint8_t kSentinel = 0xA5;

Bytes bytes_of(std::string_view s) { return Bytes(s.begin(), s.end()); }

Bytes random_bytes(std::mt19937& random, std::size_t n) {
  Bytes bytes(n);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  return bytes;
}

// Base64 text with the characters that need the exact rules sprinkled in now and then.
std::string mostly_valid_text(std::mt19937& random, std::size_t n) {
  static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  static const char unusual[] = {'=', '!', '\0', '\n', ' ', '-', '_', '\x80', '\xff', '@'};
  std::string text(n, 'A');
  for (char& c : text) {
    c = random() % 97 == 0 ? unusual[random() % sizeof unusual] : alphabet[random() % 64];
  }
  return text;
}

// Runs one export on a path into a target of `room` bytes prefilled with the sentinel (plus
// guard bytes past it) and returns the result and the whole target.
struct Call {
  int result;
  Bytes target;
};

Call run_decode(std::string_view text, std::size_t room, Path path) {
  Bytes target(room + 16, kSentinel);
  const int result = decode_into_buffer(text.data(), static_cast<std::int32_t>(text.size()),
                                        target.data(), static_cast<std::int32_t>(room), path);
  return {result, target};
}

Call run_encode(const Bytes& bytes, std::size_t room, Path path) {
  Bytes target(room + 16, kSentinel);
  const int result = encode_into_buffer(bytes.data(), static_cast<std::int32_t>(bytes.size()),
                                        reinterpret_cast<char*>(target.data()),
                                        static_cast<std::int32_t>(room), path);
  return {result, target};
}

// The decode by the plain rules, with the guard bytes after the target.
Call expected_decode(std::string_view text, std::size_t room) {
  oracle::Decoded decoded = oracle::decode(text, Bytes(room, kSentinel));
  decoded.target.resize(room + 16, kSentinel);
  return {decoded.result, decoded.target};
}

class EveryPath : public testing::TestWithParam<Path> {
 protected:
  void SetUp() override {
    if (!path_supported(GetParam())) GTEST_SKIP() << "this processor lacks the path";
  }
  Path path() const { return GetParam(); }

  void expect_decode_like_oracle(std::string_view text, std::size_t room) {
    const Call got = run_decode(text, room, path());
    const Call want = expected_decode(text, room);
    ASSERT_EQ(got.result, want.result) << "length " << text.size() << " room " << room;
    ASSERT_EQ(got.target, want.target) << "length " << text.size() << " room " << room;
  }
};

INSTANTIATE_TEST_SUITE_P(Paths, EveryPath, testing::ValuesIn(kAllPaths),
                         [](const auto& info) { return std::string(path_name(info.param)); });

TEST_P(EveryPath, Rfc4648Vectors) {
  for (const auto& [plain, text] : vectors::kRfc4648) {
    const Call encoded = run_encode(bytes_of(plain), text.size(), path());
    EXPECT_EQ(encoded.result, static_cast<int>(text.size()));
    EXPECT_EQ(std::string(encoded.target.begin(), encoded.target.begin() + text.size()), text);
    const Call decoded = run_decode(text, plain.size(), path());
    EXPECT_EQ(decoded.result, static_cast<int>(plain.size()));
    EXPECT_EQ(Bytes(decoded.target.begin(), decoded.target.begin() + plain.size()),
              bytes_of(plain));
  }
}

struct DecodeCase {
  std::string text;
  int result;
  std::string bytes;  // what the target starts with afterwards
};

TEST_P(EveryPath, DecodeRules) {
  const DecodeCase cases[] = {
      {"Zg==", 1, "f"},
      {"Zh==", 1, "f"},       // leftover bits before the pad are dropped
      {"Zm8", 2, "fo"},       // unpadded tails decode as though padded
      {"Zg", 1, "f"},         //
      {"Zm9vZ", 4, "food"},   // one last character gives one byte
      {"Zg==Zm9v", 1, "f"},   // a padded quad ends the decode ...
      {"Zm8=!!!!", 2, "fo"},  // ... and what follows is never validated
      {"Zg=!", -1, ""},       // all four positions are valued first
      {"=Zm9Zg==", 4,
       "\x01\x99\xbd"
       "f"},                                               // a pad at position 0 is the value 0
      {"Z=9vZg==", 4, std::string("d\x0f\x6f", 3) + "f"},  // ... and at position 1
      {"Zm9v Zg==", -1, "foo"},                            // the quads before the bad one stay
      {"Zm9vZ\ng=", -1, "foo"},
      {std::string("Zm9vZm\0v", 8), -1, "foo"},
      {"Zm9v\x80mFy", -1, "foo"},
      {"Zm9-", -1, ""},
      {"Zm9_", -1, ""},
  };
  for (const DecodeCase& c : cases) {
    const Call got = run_decode(c.text, 8, path());
    EXPECT_EQ(got.result, c.result) << c.text;
    EXPECT_EQ(std::string(got.target.begin(), got.target.begin() + c.bytes.size()), c.bytes)
        << c.text;
    // Success zero-fills up to the target size; a failure leaves the rest untouched.
    const std::uint8_t rest = c.result < 0 ? kSentinel : 0;
    for (std::size_t i = c.bytes.size(); i < 8; ++i) EXPECT_EQ(got.target[i], rest) << c.text;
    EXPECT_EQ(got.target[8], kSentinel) << c.text;
  }
}

TEST_P(EveryPath, EncodeZeroFillAndNoRoom) {
  const Bytes one = {0xFB};
  Call at = run_encode(one, 4, path());
  EXPECT_EQ(at.result, 4);
  EXPECT_EQ(std::string(at.target.begin(), at.target.begin() + 5), "+w==\xa5");
  Call above = run_encode(one, 6, path());
  EXPECT_EQ(above.result, 4);
  EXPECT_EQ(std::string(above.target.begin(), above.target.begin() + 7),
            std::string("+w==\0\0\xa5", 7));
  for (int room : {3, 0}) {
    Call below = run_encode(one, static_cast<std::size_t>(room), path());
    EXPECT_EQ(below.result, -2);
    EXPECT_EQ(below.target, Bytes(static_cast<std::size_t>(room) + 16, kSentinel));
  }
  char target[4] = {1, 1, 1, 1};
  EXPECT_EQ(encode_into_buffer(one.data(), 1, target, -1, path()), -2);
  EXPECT_EQ(target[0], 1);
}

TEST_P(EveryPath, NoInputZeroFillsWithoutReadingTheSource) {
  for (std::int32_t length : {0, -1, -100}) {
    std::uint8_t target[6];
    std::memset(target, 0xA5, sizeof target);
    EXPECT_EQ(encode_into_buffer(nullptr, length, reinterpret_cast<char*>(target), 5, path()), 0);
    EXPECT_EQ(Bytes(target, target + 6), Bytes({0, 0, 0, 0, 0, 0xA5}));
    std::memset(target, 0xA5, sizeof target);
    EXPECT_EQ(decode_into_buffer(nullptr, length, target, 5, path()), 0);
    EXPECT_EQ(Bytes(target, target + 6), Bytes({0, 0, 0, 0, 0, 0xA5}));
    EXPECT_EQ(decode_into_buffer(nullptr, length, target, -1, path()), -2);
  }
}

TEST_P(EveryPath, DecodeKeepsTheQuadsThatFit) {
  // "foobar" plus "Zg==": 7 bytes. Rooms below, at and above, on both sides of a quad.
  for (std::size_t room = 0; room <= 9; ++room) expect_decode_like_oracle("Zm9vYmFyZg==", room);
  const Call short_of_one = run_decode("Zm9vYmFy", 5, path());
  EXPECT_EQ(short_of_one.result, -2);
  EXPECT_EQ(std::string(short_of_one.target.begin(), short_of_one.target.begin() + 5),
            "foo\xa5\xa5");
}

TEST_P(EveryPath, MatchesTheRulesOnEveryShortLength) {
  std::mt19937 random(11);
  for (std::size_t n = 0; n <= 300; ++n) {
    const Bytes bytes = random_bytes(random, n);
    const std::string text = oracle::encode(bytes);
    const Call encoded = run_encode(bytes, text.size() + 1, path());
    ASSERT_EQ(encoded.result, static_cast<int>(text.size()));
    ASSERT_EQ(std::string(encoded.target.begin(), encoded.target.begin() + text.size()), text);
    ASSERT_EQ(encoded.target[text.size()], 0);
    const Call decoded = run_decode(text, n, path());
    ASSERT_EQ(decoded.result, static_cast<int>(n));
    ASSERT_EQ(Bytes(decoded.target.begin(), decoded.target.begin() + n), bytes);

    const std::string noisy = mostly_valid_text(random, n);
    expect_decode_like_oracle(noisy, decoded_length_max(n));
    expect_decode_like_oracle(noisy, decoded_length_max(n) / 2);
  }
}

TEST_P(EveryPath, UnusualCharacterAtEveryPositionOfABlock) {
  // Three 32-character blocks and a tail, so that every position of a block on every path is
  // hit, with room just below, at and above what the clean text gives.
  std::mt19937 random(5);
  const Bytes bytes = random_bytes(random, 78);
  const std::string clean = oracle::encode(bytes);  // 104 characters
  for (char unusual : {'=', '!', '\0', '\n', '\x80', '\xff'}) {
    for (std::size_t at = 0; at < clean.size(); ++at) {
      std::string text = clean;
      text[at] = unusual;
      for (std::size_t room : {std::size_t{77}, std::size_t{78}, std::size_t{79}}) {
        expect_decode_like_oracle(text, room);
      }
    }
  }
}

TEST_P(EveryPath, EveryByteValueInsideABlock) {
  const std::string clean(96, 'Q');
  for (int value = 0; value < 256; ++value) {
    for (std::size_t at : {0, 13, 31, 45, 94}) {
      std::string text = clean;
      text[at] = static_cast<char>(value);
      expect_decode_like_oracle(text, 72);
    }
  }
}

TEST_P(EveryPath, UnalignedBuffersAndLargeInputs) {
  std::mt19937 random(9);
  for (std::size_t n : {std::size_t{4099}, std::size_t{1} << 20, (std::size_t{1} << 20) + 2}) {
    const Bytes bytes = random_bytes(random, n);
    const std::string text = oracle::encode(bytes);
    for (std::size_t offset : {0, 1, 3, 7, 13, 31}) {
      std::vector<char> encoded(text.size() + offset);
      Bytes source(offset);
      source.insert(source.end(), bytes.begin(), bytes.end());
      ASSERT_EQ(
          encode(std::span(source).subspan(offset), std::span(encoded).subspan(offset), path()),
          text.size());
      ASSERT_EQ(std::string_view(encoded.data() + offset, text.size()), text);

      Bytes decoded(n + offset);
      const DecodeResult result = decode(std::string_view(encoded.data() + offset, text.size()),
                                         std::span(decoded).subspan(offset), path());
      ASSERT_EQ(result.status, DecodeResult::Status::ok);
      ASSERT_EQ(result.written, n);
      ASSERT_TRUE(std::equal(bytes.begin(), bytes.end(), decoded.begin() + offset));
      if (n > 100000) break;  // one offset is enough for the big ones
    }
  }
}

TEST_P(EveryPath, DecodeReportsWhereItStopped) {
  Bytes target(64);
  const DecodeResult bad = decode(std::string(40, 'A') + "AA?A", target, path());
  EXPECT_EQ(bad.status, DecodeResult::Status::invalid_character);
  EXPECT_EQ(bad.invalid_offset, 42u);
  EXPECT_EQ(bad.consumed, 40u);
  EXPECT_EQ(bad.written, 30u);

  const DecodeResult padded = decode(std::string(36, 'A') + "AA==junk", target, path());
  EXPECT_EQ(padded.status, DecodeResult::Status::ok);
  EXPECT_TRUE(padded.finished);
  EXPECT_EQ(padded.consumed, 40u);
  EXPECT_EQ(padded.written, 28u);

  const DecodeResult full = decode(std::string(64, 'A'), std::span(target).first(47), path());
  EXPECT_EQ(full.status, DecodeResult::Status::no_room);
  EXPECT_EQ(full.consumed, 60u);
  EXPECT_EQ(full.written, 45u);
}

// The way a streaming caller uses the API: chunks cut on quads, and a full target emptied
// and decoding resumed at `consumed`.
TEST_P(EveryPath, ChunksAndResumedDecodesGiveTheWholeResult) {
  std::mt19937 random(21);
  const Bytes bytes = random_bytes(random, 5000);
  const std::string text = oracle::encode(bytes);
  for (std::size_t chunk : {4, 36, 64, 1000}) {
    Bytes out(bytes.size());
    std::size_t written = 0;
    for (std::size_t at = 0; at < text.size(); at += chunk) {
      const DecodeResult result =
          decode(std::string_view(text).substr(at, chunk), std::span(out).subspan(written), path());
      ASSERT_EQ(result.status, DecodeResult::Status::ok);
      written += result.written;
    }
    EXPECT_EQ(out, bytes) << "chunk " << chunk;
  }
  Bytes out;
  Bytes window(100);
  std::size_t at = 0;
  for (;;) {
    const DecodeResult result = decode(std::string_view(text).substr(at), window, path());
    out.insert(out.end(), window.begin(), window.begin() + result.written);
    at += result.consumed;
    if (result.status == DecodeResult::Status::ok) break;
    ASSERT_EQ(result.status, DecodeResult::Status::no_room);
  }
  EXPECT_EQ(out, bytes);
}

TEST(Base64Choice, ChosenPathIsSupportedAndTheBest) {
  EXPECT_TRUE(path_supported(Path::scalar));
  EXPECT_TRUE(path_supported(chosen_path()));
  for (Path path : kAllPaths) {
    if (path_supported(path)) {
      EXPECT_GE(chosen_path(), path);
    }
  }
}

TEST(Base64Lengths, CountGroupsAndQuads) {
  EXPECT_EQ(encoded_length(0), 0u);
  EXPECT_EQ(encoded_length(1), 4u);
  EXPECT_EQ(encoded_length(3), 4u);
  EXPECT_EQ(encoded_length(4), 8u);
  EXPECT_EQ(decoded_length_max(1), 3u);
  EXPECT_EQ(decoded_length_max(8), 6u);
}

TEST(Base64Encode, ResultsAnInt32CannotCountNeedMoreRoomThanAnyTarget) {
  // 1,610,612,734 bytes would give 2,147,483,648 characters. The source is never read.
  char target[4] = {};
  EXPECT_EQ(
      encode_into_buffer(reinterpret_cast<const unsigned char*>(target), 1610612734, target, 4),
      -2);
}

}  // namespace
}  // namespace tarn::base64
