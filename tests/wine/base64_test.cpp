#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/base64_vectors.h"
#include "wine/tarn_dll.h"

namespace tarn::wine {
namespace {

std::string encoded(const std::string& bytes, int target_size) {
  std::string text(static_cast<std::size_t>(target_size) + 4, '#');
  const int written =
      dll().Base64Encode(reinterpret_cast<const unsigned char*>(bytes.data()),
                         static_cast<int32_t>(bytes.size()), text.data(), target_size);
  EXPECT_GE(written, 0);
  return text.substr(0, static_cast<std::size_t>(written < 0 ? 0 : written));
}

TEST(Base64, Rfc4648VectorsBothWays) {
  for (const auto& [plain, text] : vectors::kRfc4648) {
    EXPECT_EQ(encoded(std::string(plain), static_cast<int>(text.size())), text);
    unsigned char bytes[8] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(dll().Base64Decode(text.data(), static_cast<int32_t>(text.size()), bytes, 7),
              static_cast<int>(plain.size()));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), plain.size()), plain);
    for (std::size_t i = plain.size(); i < 7; ++i) EXPECT_EQ(bytes[i], 0) << text;
    EXPECT_EQ(bytes[7], 0xEE);
  }
}

TEST(Base64, ResultCodesOfTheExports) {
  unsigned char bytes[8] = {9, 9, 9, 9, 9, 9, 9, 9};
  EXPECT_EQ(dll().Base64Decode("Zm9v Zg==", 9, bytes, 8), -1);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), 4), "foo\x09");
  EXPECT_EQ(dll().Base64Decode("Zm9vYmFy", 8, bytes, 5), -2);
  EXPECT_EQ(dll().Base64Decode("Zg==ignored", 11, bytes, 2), 1);
  char text[4] = {'#', '#', '#', '#'};
  EXPECT_EQ(dll().Base64Encode(reinterpret_cast<const unsigned char*>("ab"), 2, text, 3), -2);
  EXPECT_EQ(text[0], '#');
  EXPECT_EQ(dll().Base64Encode(nullptr, 0, text, 4), 0);
  EXPECT_EQ(std::string(text, 4), std::string(4, '\0'));
}

TEST(Base64, MegabytesOfRandomBytesRoundTrip) {
  std::mt19937 random(1);
  for (std::size_t n : {std::size_t{3} << 20, (std::size_t{2} << 20) + 1}) {
    std::vector<unsigned char> bytes(n);
    for (auto& b : bytes) b = static_cast<unsigned char>(random());
    std::string text((n + 2) / 3 * 4 + 1, '#');
    ASSERT_EQ(dll().Base64Encode(bytes.data(), static_cast<int32_t>(n), text.data(),
                                 static_cast<int32_t>(text.size())),
              static_cast<int>(text.size() - 1));
    EXPECT_EQ(text.back(), '\0');
    std::vector<unsigned char> back(n + 3, 0xEE);
    ASSERT_EQ(dll().Base64Decode(text.data(), static_cast<int32_t>(text.size() - 1), back.data(),
                                 static_cast<int32_t>(n)),
              static_cast<int>(n));
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), back.begin()));
    EXPECT_EQ(back[n], 0xEE);
  }
}

}  // namespace
}  // namespace tarn::wine
