#include <gtest/gtest.h>

#include <string>

#include "wine/tarn_dll.h"

namespace tarn::wine {
namespace {

std::string enciphered(std::string text) {
  dll().Cryptogram(text.data(), "mzq8rtbwe5hyxpl");
  return text;
}

std::string credential_file(const std::string& user, const std::string& password) {
  auto two_digits = [](std::size_t n) {
    return std::string{char('0' + n / 10), char('0' + n % 10)};
  };
  return two_digits(user.size()) + enciphered(user) + two_digits(password.size()) +
         enciphered(password);
}

TEST(Cryptogram, EnciphersInPlaceAndRestores) {
  char text[] = "sa-password";
  EXPECT_EQ(dll().Cryptogram(text, "k"), 0);
  EXPECT_STRNE(text, "sa-password");
  EXPECT_EQ(dll().Cryptogram(text, "kkk"), 0);
  EXPECT_STREQ(text, "sa-password");
}

class GetQzDbUser : public testing::Test {
 protected:
  ScratchDirectory scratch;
  char user[100] = "untouched";
  char password[100] = "untouched";
};

TEST_F(GetQzDbUser, MissingFileLeavesBuffersUntouched) {
  EXPECT_EQ(dll().GetQzDbUser(user, password), -1);
  EXPECT_STREQ(user, "untouched");
  EXPECT_STREQ(password, "untouched");
}

TEST_F(GetQzDbUser, ReadsAWellFormedFile) {
  write_file("qzon.id", credential_file("dbo_reader", "m!x\xe9"));
  ASSERT_EQ(dll().GetQzDbUser(user, password), 0);
  EXPECT_STREQ(user, "dbo_reader");
  EXPECT_STREQ(password, "m!x\xe9");
}

TEST_F(GetQzDbUser, FileHeldWithoutReadSharingCannotBeOpened) {
  write_file("qzon.id", credential_file("u", "p"));
  HANDLE held = CreateFileA("qzon.id", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(dll().GetQzDbUser(user, password), -1);
  CloseHandle(held);
  EXPECT_STREQ(user, "untouched");
  EXPECT_EQ(dll().GetQzDbUser(user, password), 0);
  EXPECT_STREQ(user, "u");
}

TEST_F(GetQzDbUser, FileOpenForWritingElsewhereIsStillRead) {
  write_file("qzon.id", credential_file("u", "p"));
  HANDLE writer = CreateFileA("qzon.id", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(dll().GetQzDbUser(user, password), 0);
  CloseHandle(writer);
  EXPECT_STREQ(password, "p");
}

TEST_F(GetQzDbUser, DirectoryOfThatNameIsNoFile) {
  ASSERT_TRUE(CreateDirectoryA("qzon.id", nullptr));
  EXPECT_EQ(dll().GetQzDbUser(user, password), -1);
  EXPECT_STREQ(user, "untouched");
}

TEST_F(GetQzDbUser, LargeFileReadsOnlyItsFields) {
  write_file("qzon.id", credential_file("big", "file") + std::string(8 << 20, 'x'));
  ASSERT_EQ(dll().GetQzDbUser(user, password), 0);
  EXPECT_STREQ(user, "big");
  EXPECT_STREQ(password, "file");
}

TEST_F(GetQzDbUser, EmptyFileGivesEmptyStrings) {
  write_file("qzon.id", "");
  ASSERT_EQ(dll().GetQzDbUser(user, password), 0);
  EXPECT_STREQ(user, "");
  EXPECT_STREQ(password, "");
}

}  // namespace
}  // namespace tarn::wine
