#include "fsutil/finder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_file_system.h"

namespace tarn::fsutil {
namespace {

using fakes::FakeFileSystem;

struct Seen {
  std::string name;
  bool dots;
  bool directory;
  std::string path;
  bool operator==(const Seen&) const = default;
};

// Runs the loop every user of the finder runs and returns what it inspected.
std::vector<Seen> enumerate(PatternFinder& finder) {
  std::vector<Seen> seen;
  bool more;
  do {
    more = finder.FindNextFile();
    seen.push_back({std::string(finder.GetFileName()), finder.IsDots(),
                    finder.MatchesMask(kAttributeDirectory), finder.GetFilePath()});
  } while (more);
  return seen;
}

class Finder : public testing::Test {
 protected:
  void SetUp() override {
    fs.add_file("C:\\work\\d\\b.txt");
    fs.add_file("C:\\work\\d\\a");
    fs.add_directory("C:\\work\\d\\sub");
  }
  FakeFileSystem fs;
  PatternFinder finder{fs};
};

TEST_F(Finder, InspectsEveryEntryOnceInListingOrder) {
  ASSERT_TRUE(finder.FindFile("C:\\work\\d\\*.*"));
  const std::vector<Seen> expected = {
      {".", true, true, "C:\\work\\d\\."},           {"..", true, true, "C:\\work\\d\\.."},
      {"b.txt", false, false, "C:\\work\\d\\b.txt"}, {"a", false, false, "C:\\work\\d\\a"},
      {"sub", false, true, "C:\\work\\d\\sub"},
  };
  EXPECT_EQ(enumerate(finder), expected);
}

TEST_F(Finder, RelativeAndSlashedPatternsGiveAbsoluteBackslashedPaths) {
  for (const char* pattern : {"d\\*.txt", "C:/work/d/*.txt", "C:d\\*.txt", "..\\work\\d\\*.txt"}) {
    ASSERT_TRUE(finder.FindFile(pattern)) << pattern;
    const std::vector<Seen> expected = {{"b.txt", false, false, "C:\\work\\d\\b.txt"}};
    EXPECT_EQ(enumerate(finder), expected) << pattern;
  }
}

TEST_F(Finder, SingleEntriesAndTheDriveRoot) {
  ASSERT_TRUE(finder.FindFile("C:\\work\\d\\a"));
  EXPECT_EQ(enumerate(finder), (std::vector<Seen>{{"a", false, false, "C:\\work\\d\\a"}}));

  ASSERT_TRUE(finder.FindFile("C:\\work"));  // a directory named without wildcards
  EXPECT_EQ(enumerate(finder), (std::vector<Seen>{{"work", false, true, "C:\\work"}}));

  // The root is "C:" alone, and one backslash follows it. A drive root lists no dots.
  ASSERT_TRUE(finder.FindFile("C:\\*.*"));
  EXPECT_EQ(enumerate(finder), (std::vector<Seen>{{"work", false, true, "C:\\work"}}));
}

TEST_F(Finder, FailedSearchLeavesNoEntryAndKeepsTheError) {
  EXPECT_FALSE(finder.FindFile("C:\\work\\d\\*.none"));
  EXPECT_EQ(fs.last_error(), kErrorFileNotFound);
  EXPECT_FALSE(finder.FindNextFile());
  EXPECT_FALSE(finder.IsDots());
  EXPECT_FALSE(finder.MatchesMask(~0u));
  EXPECT_EQ(finder.GetFileName(), "");

  fs.fail("FindFirstFile", "C:\\work\\d\\*.*", kErrorAccessDenied);
  EXPECT_FALSE(finder.FindFile("C:\\work\\d\\*.*"));
  EXPECT_EQ(fs.last_error(), kErrorAccessDenied);
  EXPECT_EQ(fs.open_searches(), 0u);
}

TEST_F(Finder, RefusesPatternsAndFullPathsOfMaxPathBytes) {
  const std::string long_name(250, 'n');
  fs.add_file("C:\\work\\" + long_name + "\\f");

  // 260 bytes: refused before the platform is asked.
  const std::string too_long = "C:\\work\\" + long_name + "\\f";
  ASSERT_EQ(too_long.size(), 260u);
  EXPECT_FALSE(finder.FindFile(too_long.c_str()));
  EXPECT_EQ(fs.last_error(), kErrorInvalidName);
  EXPECT_TRUE(fs.calls({"FindFirstFile"}).empty());

  // A relative pattern that fits, whose full path does not: the search started is ended.
  const std::string relative = long_name + "\\f";
  EXPECT_FALSE(finder.FindFile(relative.c_str()));
  EXPECT_EQ(fs.last_error(), kErrorInvalidName);
  EXPECT_EQ(fs.calls({"FindFirstFile", "FindClose"}),
            (std::vector<std::string>{"FindFirstFile " + relative, "FindClose " + relative}));
  EXPECT_FALSE(finder.FindNextFile());
}

TEST_F(Finder, ClosesBeforeSearchingAgainAndStaysOnTheLastEntry) {
  {
    PatternFinder scoped(fs);
    ASSERT_TRUE(scoped.FindFile("C:\\work\\d\\a"));
    ASSERT_TRUE(scoped.FindFile("C:\\work\\d\\*.txt"));
    EXPECT_EQ(fs.open_searches(), 1u);
    EXPECT_FALSE(scoped.FindNextFile());
    EXPECT_FALSE(scoped.FindNextFile());
    EXPECT_EQ(scoped.GetFileName(), "b.txt");
    EXPECT_EQ(fs.calls({"FindNextFile"}).size(), 1u) << "asked again after the end";
  }
  EXPECT_EQ(fs.open_searches(), 0u);
  EXPECT_EQ(fs.calls({"FindClose"}).size(), 2u);
}

TEST_F(Finder, FetchErrorEndsTheListingQuietly) {
  fs.end_listing_after("C:\\work\\d", 3);
  ASSERT_TRUE(finder.FindFile("C:\\work\\d\\*.*"));
  EXPECT_EQ(enumerate(finder).back().name, "b.txt");
}

TEST(FinderDoubleByte, RootEndingInTrailByte5CStillGetsItsSeparator) {
  struct Case {
    text::LeadByteTable lead;
    std::string directory;
  };
  for (const Case& c : {Case{fakes::code_page_932(), "C:\\work\\\x95\x5C"},
                        Case{fakes::code_page_936(), "C:\\work\\\x81\x5C"}}) {
    FakeFileSystem fs(c.lead);
    fs.add_file(c.directory + "\\f.txt");
    PatternFinder finder(fs);
    ASSERT_TRUE(finder.FindFile((c.directory + "\\*.txt").c_str()));
    EXPECT_EQ(enumerate(finder),
              (std::vector<Seen>{{"f.txt", false, false, c.directory + "\\f.txt"}}));
  }
}

}  // namespace
}  // namespace tarn::fsutil
