// Run with the ANSI code page 936 (see CMakeLists.txt); skipped under any other.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wine/fsutil_helpers.h"
#include "wine/tarn_dll.h"

namespace tarn::wine {
namespace {

// U+4E57 in code page 936: its second byte is 0x5C, a backslash if read byte by byte.
const std::string kJo = "\x81\x5C";

class DoubleByte : public testing::Test {
 protected:
  void SetUp() override {
    if (GetACP() != 936) GTEST_SKIP() << "ANSI code page " << GetACP() << ", not 936";
  }
  ScratchDirectory scratch;
};

TEST_F(DoubleByte, NameEndingInTrailByte5CIsOneWholeDirectory) {
  const std::string jo = "d\\" + kJo;
  ASSERT_EQ(dll().CreateDir(jo.c_str()), 0);
  EXPECT_NE(GetFileAttributesW(L"d\\\u4E57"), INVALID_FILE_ATTRIBUTES);
  ASSERT_EQ(dll().CreateDir((jo + "\\" + kJo + "\\").c_str()), 0);
  EXPECT_NE(GetFileAttributesW(L"d\\\u4E57\\\u4E57"), INVALID_FILE_ATTRIBUTES);
  make_file(jo + "\\f.txt");
  make_file(jo + "\\" + kJo + "\\g.txt");
  make_file("d\\keep.txt");

  PathBuffers buffers(2);
  ASSERT_EQ(dll().GetDirFiles((jo + "\\*.*").c_str(), buffers.pointers(), 1), 1);
  EXPECT_EQ(buffers.written(1), (std::vector<std::string>{scratch.path() + "\\" + jo + "\\f.txt"}));

  EXPECT_EQ(dll().DelDir(jo.c_str()), 0);
  EXPECT_EQ(GetFileAttributesW(L"d\\\u4E57"), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(exists("d\\keep.txt"));

  ASSERT_EQ(dll().CreateDir(jo.c_str()), 0);
  EXPECT_EQ(dll().DelDir((jo + "\\").c_str()), 0);
  EXPECT_EQ(GetFileAttributesW(L"d\\\u4E57"), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(exists("d\\keep.txt"));
}

}  // namespace
}  // namespace tarn::wine
