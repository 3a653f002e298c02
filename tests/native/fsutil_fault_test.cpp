// Faults in the file utilities: every file-system call of each export fails in turn, by its
// failure value (ERROR_ACCESS_DENIED) and by std::bad_alloc. Each ends in a result the export
// defines (its failure result after a throw), with every search closed, nothing changed outside
// what the export may change, and no caller buffer written beyond the files it reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "fakes/failing_allocation.h"
#include "fakes/fake_file_system.h"
#include "frame/guard.h"
#include "fsutil/create_dir.h"
#include "fsutil/delete.h"
#include "fsutil/list.h"

namespace tarn::fsutil {
namespace {

using fakes::FakeFileSystem;
using fakes::FaultPlan;
using Paths = std::vector<std::string>;

void add_tree(FakeFileSystem& fs) {
  fs.add_file("C:\\work\\keep.txt");
  fs.add_file("C:\\work\\t\\a.txt", kAttributeReadOnly);
  fs.add_file("C:\\work\\t\\b.dat");
  fs.add_file("C:\\work\\t\\z.txt", kAttributeHidden);
  fs.add_file("C:\\work\\t\\sub\\c.txt");
  fs.add_directory("C:\\work\\t\\sub\\deeper");
}

// Path buffers that GetDirFiles may write; the untouched ones keep their fill.
struct PathBuffers {
  char storage[4][kMaxPath];
  char* pointers[4] = {storage[0], storage[1], storage[2], storage[3]};
  PathBuffers() {
    for (auto& buffer : storage) std::fill(std::begin(buffer), std::end(buffer), '#');
  }
  bool untouched(int n) const {
    return std::all_of(std::begin(storage[n]), std::end(storage[n]),
                       [](char c) { return c == '#'; });
  }
};

struct ExportCase {
  const char* name;
  std::int32_t on_failure;         // what the export gives back when anything throws
  std::set<std::int32_t> results;  // every result it may give; counts are checked below
  std::function<std::int32_t(FakeFileSystem&, PathBuffers&)> run;
  std::function<bool(const std::string&)> may_vanish;  // a path the export may remove
  std::function<bool(const std::string&)> may_appear;  // a path the export may create
};

bool never(const std::string&) { return false; }

const ExportCase kExports[] = {
    {"CreateDir",
     -1,
     {0, -1},
     [](FakeFileSystem& fs, PathBuffers&) {
       return create_directory_path(fs, "C:\\work\\t\\n\\x");
     },
     never,
     [](const std::string& p) { return p == "C:\\work\\t\\n" || p == "C:\\work\\t\\n\\x"; }},
    {"DelFile",
     -2,
     {0, -1, -2},
     [](FakeFileSystem& fs, PathBuffers&) {
       return delete_matching_files(fs, "C:\\work\\t\\*.txt");
     },
     [](const std::string& p) { return p == "C:\\work\\t\\a.txt" || p == "C:\\work\\t\\z.txt"; },
     never},
    {"DelDir",
     -2,
     {0, -1, -2, -3, -4},
     [](FakeFileSystem& fs, PathBuffers&) { return delete_tree(fs, "C:\\work\\t\\"); },
     [](const std::string& p) { return p.starts_with("C:\\work\\t"); },
     never},
    {"GetDirFiles",
     -1,
     {-1, 0, 1, 2, 3},
     [](FakeFileSystem& fs, PathBuffers& buffers) {
       return list_files(fs, "C:\\work\\t\\*.*", buffers.pointers, 1);
     },
     never,
     never},
};

TEST(FileUtilityFaults, EveryCallFailingEndsInADefinedResultWithNothingLeftOpen) {
  int total = 0;
  for (const ExportCase& e : kExports) {
    FakeFileSystem clean;
    add_tree(clean);
    PathBuffers clean_buffers;
    const std::int32_t clean_result = e.run(clean, clean_buffers);
    ASSERT_TRUE(e.results.count(clean_result)) << e.name;
    const int operations = clean.fault.operations();
    ASSERT_GT(operations, 2) << e.name;

    int injected = 0;
    for (const auto mode : {FaultPlan::Mode::fail, FaultPlan::Mode::throw_bad_alloc}) {
      for (int index = 0; index < operations; ++index) {
        FakeFileSystem fs;
        add_tree(fs);
        const Paths before = fs.paths_under("C:\\");
        PathBuffers buffers;
        fs.fault.arm(index, mode);
        const std::int32_t result =
            frame::guarded(e.on_failure, [&] { return e.run(fs, buffers); });
        injected += fs.fault.injected();
        const std::string where = std::string(e.name) + " call " + std::to_string(index) +
                                  (mode == FaultPlan::Mode::fail ? " failing" : " throwing");

        EXPECT_TRUE(e.results.count(result)) << where << " gave " << result;
        if (mode == FaultPlan::Mode::throw_bad_alloc) {
          EXPECT_EQ(result, e.on_failure) << where;
        }
        EXPECT_EQ(fs.open_searches(), 0u) << where;
        const Paths after = fs.paths_under("C:\\");
        for (const auto& path : before) {
          if (!e.may_vanish(path)) {
            EXPECT_TRUE(fs.exists(path)) << where << ": " << path;
          }
        }
        for (const auto& path : after) {
          if (!std::count(before.begin(), before.end(), path)) {
            EXPECT_TRUE(e.may_appear(path)) << where << ": " << path;
          }
        }
        // The buffers of the files counted hold their full paths; any other buffer is untouched,
        // or, when a throw ended the listing, holds the path of a file listed before it.
        const std::set<std::string> listed = {"C:\\work\\t\\a.txt", "C:\\work\\t\\b.dat",
                                              "C:\\work\\t\\z.txt"};
        for (int n = 0; n < 4; ++n) {
          const bool holds_path = listed.count(buffers.storage[n]) > 0;
          if (n < std::max(result, 0)) {
            EXPECT_TRUE(holds_path) << where << ": buffer " << n;
          } else if (mode == FaultPlan::Mode::fail) {
            EXPECT_TRUE(buffers.untouched(n)) << where << ": buffer " << n;
          } else {
            EXPECT_TRUE(buffers.untouched(n) || holds_path) << where << ": buffer " << n;
          }
        }
      }
    }
    EXPECT_EQ(injected, 2 * operations) << e.name;

    // Every allocation of a run failing in turn, the fake's own included.
    FakeFileSystem counted;
    add_tree(counted);
    PathBuffers counted_buffers;
    fakes::AllocationFailure counting(-1);
    e.run(counted, counted_buffers);
    const int allocations = counting.stop();
    for (int index = 0; index < allocations; ++index) {
      FakeFileSystem fs;
      add_tree(fs);
      PathBuffers buffers;
      fakes::AllocationFailure failure(index);
      const std::int32_t result = frame::guarded(e.on_failure, [&] { return e.run(fs, buffers); });
      failure.stop();
      // The one allocation that fails without effect is the fake's log entry of FindClose.
      EXPECT_TRUE(result == e.on_failure || result == clean_result)
          << e.name << " allocation " << index << " gave " << result;
      EXPECT_EQ(fs.open_searches(), 0u) << e.name << " allocation " << index;
      ++injected;
    }
    std::printf("%s: %d faults injected over %d calls and %d allocations\n", e.name, injected,
                operations, allocations);
    total += injected;
  }
  std::printf("file utilities: %d faults injected\n", total);
}

}  // namespace
}  // namespace tarn::fsutil
