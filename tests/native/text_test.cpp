#include <gtest/gtest.h>

#include <string>

#include "fakes/fake_file_system.h"
#include "text/path.h"

namespace tarn::text {
namespace {

using fakes::code_page_932;
using fakes::code_page_936;

// "表" in code page 932 and "乗" in code page 936 both end in the byte 0x5C.
const std::string kHyo932 = "\x95\x5C";
const std::string kJo936 = "\x81\x5C";

TEST(LeadByteTable, ReadsRangesUpToTheZeroPair) {
  const unsigned char ranges[] = {0x81, 0x82, 0, 0, 0xE0, 0xE0};
  const LeadByteTable table = LeadByteTable::from_ranges(ranges, sizeof ranges);
  EXPECT_TRUE(table.is_lead(0x81));
  EXPECT_TRUE(table.is_lead(0x82));
  EXPECT_FALSE(table.is_lead(0x83));
  EXPECT_FALSE(table.is_lead(0xE0)) << "ranges after the terminating pair count";
  EXPECT_TRUE(code_page_932().is_lead(0xFC));
  EXPECT_FALSE(code_page_932().is_lead(0xA0));
  EXPECT_FALSE(code_page_936().is_lead(0x5C));
  EXPECT_FALSE(LeadByteTable().is_lead(0x95));
}

TEST(DropTrailingBackslash, RemovesOneBackslashCharacterOnly) {
  struct Case {
    LeadByteTable lead;
    std::string path, expected;
  };
  const Case cases[] = {
      {{}, "C:\\a\\", "C:\\a"},
      {{}, "C:\\a\\\\", "C:\\a\\"},
      {{}, "C:\\a/", "C:\\a/"},
      {{}, "", ""},
      {{}, "C:\\" + kHyo932, "C:\\\x95"},  // single-byte: the 0x5C is a backslash
      {code_page_932(), "C:\\" + kHyo932, "C:\\" + kHyo932},
      {code_page_932(), "C:\\" + kHyo932 + "\\", "C:\\" + kHyo932},
      {code_page_936(), "d\\" + kJo936, "d\\" + kJo936},
      {code_page_936(), "\x81", "\x81"},  // a lead byte without its second byte stands alone
  };
  for (const Case& c : cases) {
    std::string path = c.path;
    drop_trailing_backslash(path, c.lead);
    EXPECT_EQ(path, c.expected) << c.path;
  }
}

TEST(PathSplitting, ParentAndFinderRootSkipTrailBytes) {
  const LeadByteTable single;
  EXPECT_EQ(parent_directory("C:\\a\\b", single), "C:\\a");
  EXPECT_EQ(parent_directory("a", single), "");
  EXPECT_EQ(parent_directory("C:/x/y", single), "") << "forward slashes separate no levels";
  EXPECT_EQ(parent_directory("C:\\d\\" + kJo936, code_page_936()), "C:\\d");
  EXPECT_EQ(parent_directory("C:\\" + kHyo932 + "b", code_page_932()), "C:");

  EXPECT_EQ(finder_root("C:\\work\\*.txt", single), "C:\\work");
  EXPECT_EQ(finder_root("C:\\*.*", single), "C:");
  EXPECT_EQ(finder_root("C:\\a/b", single), "C:\\a");
  EXPECT_EQ(finder_root("nothing", single), "nothing");
  EXPECT_EQ(finder_root("C:\\d\\" + kJo936 + "\\*.*", code_page_936()), "C:\\d\\" + kJo936);
  EXPECT_EQ(finder_root("C:\\d\\" + kJo936 + "x", code_page_936()), "C:\\d");

  EXPECT_TRUE(ends_with_separator("C:/", single));
  EXPECT_TRUE(ends_with_separator("C:\\d\\" + kHyo932, single));
  EXPECT_FALSE(ends_with_separator("C:\\d\\" + kHyo932, code_page_932()));
}

TEST(NamesRoot, DrivesAndSharesButNoDirectoryOnThem) {
  const LeadByteTable single;
  for (const char* root : {"", "\\", "/", "C:", "c:\\", "C:/", "C:\\\\", "\\\\server",
                           "\\\\server\\share", "\\\\server\\share\\", "//server/share/",
                           "\\\\?\\C:\\", "\\\\.\\C:", "\\\\?\\UNC\\server\\share"}) {
    EXPECT_TRUE(names_root(root, single)) << root;
  }
  for (const char* directory : {"C:\\a", "C:a", "\\a", "a", "\\\\server\\share\\a", "\\\\?\\C:\\a",
                                "\\\\?\\UNC\\server\\share\\a"}) {
    EXPECT_FALSE(names_root(directory, single)) << directory;
  }
  // A share whose name ends in a trail byte 0x5C is still one component.
  EXPECT_TRUE(names_root("\\\\server\\" + kHyo932, code_page_932()));
  EXPECT_FALSE(names_root("\\\\server\\" + kHyo932 + "\\a", code_page_932()));
}

}  // namespace
}  // namespace tarn::text
