#include "fsutil/delete.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fakes/fake_file_system.h"

namespace tarn::fsutil {
namespace {

using fakes::FakeFileSystem;
using Calls = std::vector<std::string>;
using Paths = std::vector<std::string>;

// The calls that change the file system, in order.
Calls effects(const FakeFileSystem& fs) {
  return fs.calls({"SetFileAttributes", "DeleteFile", "RemoveDirectory"});
}

TEST(DelFile, ClearsAndDeletesEachFileInListingOrderAndSkipsDirectories) {
  FakeFileSystem fs;
  fs.add_file("C:\\work\\ro", kAttributeReadOnly);
  fs.add_directory("C:\\work\\sub");
  fs.add_file("C:\\work\\hs", kAttributeHidden | kAttributeSystem);
  EXPECT_EQ(delete_matching_files(fs, "*.*"), 0);
  EXPECT_EQ(effects(fs), (Calls{"SetFileAttributes C:\\work\\ro", "DeleteFile C:\\work\\ro",
                                "SetFileAttributes C:\\work\\hs", "DeleteFile C:\\work\\hs"}));
  EXPECT_EQ(fs.paths_under("C:\\work"), (Paths{"C:\\work", "C:\\work\\sub"}));
  EXPECT_EQ(delete_matching_files(fs, "C:\\work\\*.*"), 0) << "only a directory is left";
  EXPECT_EQ(delete_matching_files(fs, "C:\\work\\sub"), 0);
  EXPECT_TRUE(fs.exists("C:\\work\\sub"));
}

TEST(DelFile, NothingToListDeletesNothing) {
  FakeFileSystem fs;
  fs.add_file("C:\\work\\keep");
  for (const char* pattern : {"", "*.none", "C:\\missing\\*.*"}) {
    EXPECT_EQ(delete_matching_files(fs, pattern), -1) << pattern;
  }
  // A null pattern would mean "*.*" in the current directory.
  EXPECT_EQ(delete_matching_files(fs, nullptr), -1);
  EXPECT_TRUE(effects(fs).empty());
  EXPECT_TRUE(fs.exists("C:\\work\\keep"));
}

TEST(DelFile, FailedDeletionStopsWithTheFileCleared) {
  FakeFileSystem fs;
  fs.add_file("C:\\work\\1");
  fs.add_file("C:\\work\\2", kAttributeHidden);
  fs.add_file("C:\\work\\3", kAttributeReadOnly);
  fs.fail("DeleteFile", "C:\\work\\2", kErrorSharingViolation);
  EXPECT_EQ(delete_matching_files(fs, "*.*"), -2);
  EXPECT_FALSE(fs.exists("C:\\work\\1"));
  EXPECT_EQ(fs.attributes_of("C:\\work\\2"), 0u);
  EXPECT_EQ(fs.attributes_of("C:\\work\\3"), kAttributeReadOnly);
}

// C:\work\t holds f1, s1\g, f2 and the empty s2, listed in that order, beside C:\work\sibling.
void add_tree(FakeFileSystem& fs) {
  fs.add_file("C:\\work\\t\\f1", kAttributeReadOnly);
  fs.add_file("C:\\work\\t\\s1\\g");
  fs.add_file("C:\\work\\t\\f2");
  fs.add_directory("C:\\work\\t\\s2");
  fs.add_file("C:\\work\\sibling");
}

class DelDir : public testing::Test {
 protected:
  DelDir() { add_tree(fs); }
  FakeFileSystem fs;
};

TEST_F(DelDir, FilesFirstThenSubdirectoriesDepthFirstThenTheDirectory) {
  EXPECT_EQ(delete_tree(fs, "t\\"), 0);
  EXPECT_EQ(effects(fs),
            (Calls{"SetFileAttributes C:\\work\\t\\f1", "DeleteFile C:\\work\\t\\f1",
                   "SetFileAttributes C:\\work\\t\\f2", "DeleteFile C:\\work\\t\\f2",
                   "SetFileAttributes C:\\work\\t\\s1\\g", "DeleteFile C:\\work\\t\\s1\\g",
                   "SetFileAttributes C:\\work\\t\\s1", "RemoveDirectory C:\\work\\t\\s1",
                   "SetFileAttributes C:\\work\\t\\s2", "RemoveDirectory C:\\work\\t\\s2",
                   "SetFileAttributes t", "RemoveDirectory t"}));
  EXPECT_EQ(fs.paths_under("C:\\work"), (Paths{"C:\\work", "C:\\work\\sibling"}));
  EXPECT_EQ(fs.open_searches(), 0u);
}

TEST_F(DelDir, EachFailureCodeAndWhatItLeaves) {
  struct Case {
    const char* name;
    std::function<void(FakeFileSystem&)> script;
    const char* path;
    int expected;
    Paths left;
  };
  const std::string pattern = "C:\\work\\t\\*.*";
  const Paths whole = {"C:\\work\\t",     "C:\\work\\t\\f1",    "C:\\work\\t\\f2",
                       "C:\\work\\t\\s1", "C:\\work\\t\\s1\\g", "C:\\work\\t\\s2"};
  const Paths files_gone = {"C:\\work\\t", "C:\\work\\t\\s1", "C:\\work\\t\\s1\\g",
                            "C:\\work\\t\\s2"};
  const Case cases[] = {
      {"missing directory", [](FakeFileSystem&) {}, "C:\\work\\none", -2, whole},
      {"a file", [](FakeFileSystem&) {}, "C:\\work\\sibling", -2, whole},
      {"deletion fails deep down",
       [](FakeFileSystem& fs) {
         fs.fail("DeleteFile", "C:\\work\\t\\s1\\g", kErrorSharingViolation);
       },
       "C:\\work\\t", -2, files_gone},
      {"second listing fails",
       [&](FakeFileSystem& fs) {
         fs.when("FindClose " + pattern,
                 [&fs, pattern] { fs.fail("FindFirstFile", pattern, kErrorAccessDenied); });
       },
       "C:\\work\\t", -1, files_gone},
      {"file created between the passes",
       [&](FakeFileSystem& fs) {
         fs.when("FindClose " + pattern, [&fs] { fs.add_file("C:\\work\\t\\late"); });
       },
       "C:\\work\\t",
       -3,
       {"C:\\work\\t", "C:\\work\\t\\late"}},
      {"first listing ended early",  // it saw f1 only; the second sees s1, then f2
       [](FakeFileSystem& fs) { fs.end_listing_after("C:\\work\\t", 3); },
       "C:\\work\\t",
       -3,
       {"C:\\work\\t", "C:\\work\\t\\f2", "C:\\work\\t\\s2"}},
      {"directory itself stays",
       [](FakeFileSystem& fs) {
         fs.fail("RemoveDirectory", "C:\\work\\t", kErrorSharingViolation);
       },
       "C:\\work\\t",
       -4,
       {"C:\\work\\t"}},
      {"subdirectory stays",
       [](FakeFileSystem& fs) {
         fs.fail("RemoveDirectory", "C:\\work\\t\\s2", kErrorAccessDenied);
       },
       "C:\\work\\t",
       -4,
       {"C:\\work\\t", "C:\\work\\t\\s2"}},
  };
  for (const Case& c : cases) {
    FakeFileSystem fresh;
    add_tree(fresh);
    c.script(fresh);
    EXPECT_EQ(delete_tree(fresh, c.path), c.expected) << c.name;
    EXPECT_EQ(fresh.paths_under("C:\\work\\t"), c.left) << c.name;
    EXPECT_TRUE(fresh.exists("C:\\work\\sibling")) << c.name;
    EXPECT_EQ(fresh.open_searches(), 0u) << c.name;
  }
}

TEST_F(DelDir, FailedRemovalLeavesTheDirectoryWithAttributesCleared) {
  fs.add_directory("C:\\work\\t", kAttributeReadOnly | kAttributeHidden);
  fs.fail("RemoveDirectory", "C:\\work\\t", kErrorSharingViolation);
  EXPECT_EQ(delete_tree(fs, "C:\\work\\t"), -4);
  EXPECT_EQ(fs.attributes_of("C:\\work\\t"), kAttributeDirectory);
}

TEST_F(DelDir, RefusesDrivesAndSharesWithoutTouchingAnything) {
  fs.add_directory("\\\\server\\share\\d");
  fs.add_file("C:\\rootfile");
  for (const char* root : {"", "\\", "/", "C:", "C:\\", "C:/", "C:\\\\", "..", "..\\", "t\\..\\..",
                           "\\\\server\\share", "\\\\server\\share\\", "\\\\server"}) {
    EXPECT_EQ(delete_tree(fs, root), -2) << root;
  }
  EXPECT_EQ(delete_tree(fs, nullptr), -2);
  EXPECT_TRUE(
      fs.calls({"FindFirstFile", "SetFileAttributes", "DeleteFile", "RemoveDirectory"}).empty());
}

TEST_F(DelDir, RemovesLinksWithoutEnteringThem) {
  fs.add_file("C:\\data\\keep.txt");
  fs.add_directory_link("C:\\work\\t\\s1\\link", "C:\\data");
  fs.add_directory_link("C:\\work\\top-link", "C:\\data");
  EXPECT_EQ(delete_tree(fs, "C:\\work\\t"), 0);
  EXPECT_EQ(delete_tree(fs, "C:\\work\\top-link\\"), 0);
  EXPECT_FALSE(fs.exists("C:\\work\\t"));
  EXPECT_FALSE(fs.exists("C:\\work\\top-link"));
  EXPECT_EQ(fs.paths_under("C:\\data"), (Paths{"C:\\data", "C:\\data\\keep.txt"}));
  for (const std::string& call : fs.calls({"FindFirstFile", "SetFileAttributes"})) {
    EXPECT_EQ(call.find("link"), std::string::npos) << call;
  }
}

TEST(DelDirDoubleByte, NameEndingInByte5CStaysWhole) {
  FakeFileSystem fs(fakes::code_page_936());
  const std::string jo = "C:\\work\\\x81\x5C";
  fs.add_file(jo + "\\f.txt");
  fs.add_file(jo + "\\sub\\g.txt");
  fs.add_file("C:\\work\\keep.txt");
  EXPECT_EQ(delete_tree(fs, jo.c_str()), 0);
  EXPECT_FALSE(fs.exists(jo));
  EXPECT_TRUE(fs.exists("C:\\work\\keep.txt"));
  EXPECT_EQ(fs.calls({"FindFirstFile"}).front(), "FindFirstFile " + jo + "\\*.*");

  fs.add_file(jo + "\\f.txt");
  EXPECT_EQ(delete_tree(fs, (jo + "\\").c_str()), 0);
  EXPECT_FALSE(fs.exists(jo));
}

}  // namespace
}  // namespace tarn::fsutil
