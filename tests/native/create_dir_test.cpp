#include "fsutil/create_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_file_system.h"

namespace tarn::fsutil {
namespace {

using fakes::FakeFileSystem;
using Calls = std::vector<std::string>;

TEST(CreateDir, ExistingEntriesAndEmptyPathsNeedNothing) {
  FakeFileSystem fs;
  fs.add_file("C:\\work\\a.txt");
  for (const char* path : {"C:\\work", "C:\\work\\", "C:\\work\\a.txt", "C:\\", "C:"}) {
    EXPECT_EQ(create_directory_path(fs, path), 0) << path;
  }
  EXPECT_EQ(create_directory_path(fs, ""), 0);
  EXPECT_EQ(create_directory_path(fs, nullptr), 0);
  EXPECT_TRUE(fs.calls({"CreateDirectory"}).empty());
}

TEST(CreateDir, WalksUpToWhatExistsThenCreatesTopDown) {
  FakeFileSystem fs;
  EXPECT_EQ(create_directory_path(fs, "C:\\a\\b\\c\\"), 0);
  EXPECT_EQ(fs.calls(),
            (Calls{"GetFileAttributes C:\\a\\b\\c", "GetFileAttributes C:\\a\\b",
                   "GetFileAttributes C:\\a", "GetFileAttributes C:", "CreateDirectory C:\\a",
                   "CreateDirectory C:\\a\\b", "CreateDirectory C:\\a\\b\\c"}));
  EXPECT_EQ(fs.attributes_of("C:\\a\\b\\c"), kAttributeDirectory);
}

TEST(CreateDir, RelativeRootedUncAndSlashedPaths) {
  FakeFileSystem fs;
  fs.add_directory("\\\\server\\share");
  EXPECT_EQ(create_directory_path(fs, "x\\y"), 0);
  EXPECT_TRUE(fs.exists("C:\\work\\x\\y"));
  EXPECT_EQ(create_directory_path(fs, "\\r\\s"), 0);
  EXPECT_TRUE(fs.exists("C:\\r\\s"));
  EXPECT_EQ(create_directory_path(fs, "\\\\server\\share\\new"), 0);
  EXPECT_EQ(fs.calls({"CreateDirectory"}).back(), "CreateDirectory \\\\server\\share\\new");

  // Forward slashes separate no levels: only the whole path is tried.
  EXPECT_EQ(create_directory_path(fs, "C:/m/n"), -1);
  EXPECT_EQ(fs.calls({"CreateDirectory"}).back(), "CreateDirectory C:/m/n");
  fs.add_directory("C:\\m");
  EXPECT_EQ(create_directory_path(fs, "C:/m/n"), 0);
  EXPECT_TRUE(fs.exists("C:\\m\\n"));
}

TEST(CreateDir, FailedLevelStopsTheWalkAndKeepsTheLevelsAbove) {
  FakeFileSystem fs;
  fs.fail("CreateDirectory", "C:\\a\\b", kErrorAccessDenied);
  EXPECT_EQ(create_directory_path(fs, "C:\\a\\b\\c"), -1);
  EXPECT_TRUE(fs.exists("C:\\a"));
  EXPECT_EQ(fs.calls({"CreateDirectory"}),
            (Calls{"CreateDirectory C:\\a", "CreateDirectory C:\\a\\b"}));

  EXPECT_EQ(create_directory_path(fs, "Q:\\a"), -1);  // no such drive
  EXPECT_FALSE(fs.exists("Q:\\a"));
  fs.add_file("C:\\f.txt");
  EXPECT_EQ(create_directory_path(fs, "C:\\f.txt\\sub"), -1);
}

TEST(CreateDir, DirectoryThatAppearsMeanwhileCountsAsCreated) {
  FakeFileSystem fs;
  // Another process creates the level between our test and our creation.
  fs.when("CreateDirectory C:\\race", [&] { fs.add_directory("C:\\race"); });
  EXPECT_EQ(create_directory_path(fs, "C:\\race\\sub"), 0);
  EXPECT_TRUE(fs.exists("C:\\race\\sub"));

  // Two trailing backslashes: the last level names the directory just made.
  EXPECT_EQ(create_directory_path(fs, "C:\\new\\\\"), 0);
  EXPECT_TRUE(fs.exists("C:\\new"));

  // But a file standing there is no directory.
  fs.when("CreateDirectory C:\\file", [&] { fs.add_file("C:\\file"); });
  EXPECT_EQ(create_directory_path(fs, "C:\\file"), -1);
  // And any other error stays a failure.
  fs.fail("CreateDirectory", "C:\\gone", kErrorAccessDenied);
  fs.when("CreateDirectory C:\\gone", [&] { fs.add_directory("C:\\gone"); });
  EXPECT_EQ(create_directory_path(fs, "C:\\gone"), -1);
}

TEST(CreateDir, DoubleByteNameEndingInByte5CStaysWhole) {
  FakeFileSystem fs(fakes::code_page_932());
  const std::string hyo = "\x95\x5C";
  EXPECT_EQ(create_directory_path(fs, ("C:\\work\\" + hyo).c_str()), 0);
  EXPECT_EQ(create_directory_path(fs, ("C:\\work\\" + hyo + "\\" + hyo + "\\").c_str()), 0);
  EXPECT_EQ(
      fs.calls({"CreateDirectory"}),
      (Calls{"CreateDirectory C:\\work\\" + hyo, "CreateDirectory C:\\work\\" + hyo + "\\" + hyo}));
}

}  // namespace
}  // namespace tarn::fsutil
