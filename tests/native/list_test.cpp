#include "fsutil/list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "fakes/fake_file_system.h"

namespace tarn::fsutil {
namespace {

using fakes::FakeFileSystem;

class GetDirFiles : public testing::Test {
 protected:
  GetDirFiles() {
    for (auto& buffer : buffers) {
      std::memset(buffer, '#', sizeof buffer);
      pointers.push_back(buffer);
    }
  }
  std::string buffer(int n) const { return buffers[n]; }
  bool untouched(int n) const { return buffers[n][0] == '#' && buffers[n][519] == '#'; }

  FakeFileSystem fs;
  char buffers[4][520];
  std::vector<char*> pointers;
};

TEST_F(GetDirFiles, CountsThenFillsOnlyPlainFilesInListingOrder) {
  fs.add_file("C:\\work\\d\\z.txt");
  fs.add_directory("C:\\work\\d\\sub");
  fs.add_file("C:\\work\\d\\hidden", kAttributeHidden | kAttributeSystem);
  EXPECT_EQ(list_files(fs, "d\\*.*", nullptr, 0), 2);
  for (std::int32_t copy : {1, 2, -1}) {
    EXPECT_EQ(list_files(fs, "d\\*.*", pointers.data(), copy), 2);
    EXPECT_EQ(buffer(0), "C:\\work\\d\\z.txt");
    EXPECT_EQ(buffer(1), "C:\\work\\d\\hidden");
    EXPECT_EQ(buffers[0][sizeof "C:\\work\\d\\z.txt"], '#') << "wrote past the NUL";
    EXPECT_TRUE(untouched(2));
  }
}

TEST_F(GetDirFiles, NothingFoundWritesNothing) {
  fs.add_directory("C:\\work\\only\\sub");
  EXPECT_EQ(list_files(fs, "C:\\work\\*.none", pointers.data(), 1), -1);
  EXPECT_EQ(list_files(fs, "C:\\work\\only\\*.*", pointers.data(), 1), 0);
  EXPECT_EQ(list_files(fs, "C:\\work\\only", pointers.data(), 1), 0);
  EXPECT_EQ(list_files(fs, std::string(300, 'a').c_str(), pointers.data(), 1), -1);
  EXPECT_TRUE(untouched(0));
}

TEST_F(GetDirFiles, NullPatternListsTheCurrentDirectoryAndRootPathsHaveOneBackslash) {
  fs.add_file("C:\\work\\here.txt");
  fs.add_file("C:\\top.txt");
  EXPECT_EQ(list_files(fs, nullptr, pointers.data(), 1), 1);
  EXPECT_EQ(buffer(0), "C:\\work\\here.txt");
  EXPECT_EQ(list_files(fs, "C:\\*.*", pointers.data(), 1), 1);
  EXPECT_EQ(buffer(0), "C:\\top.txt");
}

}  // namespace
}  // namespace tarn::fsutil
