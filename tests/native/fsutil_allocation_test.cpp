// The listing and deletion loops allocate per directory, never per entry: counted through the
// global allocator over a port that itself allocates nothing.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "fsutil/delete.h"
#include "fsutil/list.h"

namespace {
std::atomic<long> allocations{0};
}  // namespace

void* operator new(std::size_t size) {
  ++allocations;
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace tarn::fsutil {
namespace {

// One directory that lists ".", ".." and `files` files; every change succeeds and changes
// nothing.
class SyntheticFileSystem final : public FileSystem {
 public:
  explicit SyntheticFileSystem(int files) : files_(files) {}

  const text::LeadByteTable& lead_bytes() const override { return lead_; }
  SearchHandle find_first(const char*, FindEntry& first) override {
    position_ = 0;
    find_next(0, first);
    return 1;
  }
  bool find_next(SearchHandle, FindEntry& next) override {
    if (position_ >= 2 + files_) return false;
    const int i = position_++;
    next.attributes = i < 2 ? kAttributeDirectory : 0;
    std::snprintf(next.name, sizeof next.name, "%s", i == 0 ? "." : i == 1 ? ".." : "");
    if (i >= 2) std::snprintf(next.name, sizeof next.name, "file%06d.dat", i);
    return true;
  }
  void find_close(SearchHandle) override {}
  std::size_t full_path(const char* path, char* buffer, std::size_t size) override {
    const std::size_t length = std::strlen(path);
    if (length + 1 > size) return length + 1;
    std::memcpy(buffer, path, length + 1);
    return length;
  }
  std::uint32_t last_error() override { return 0; }
  void set_last_error(std::uint32_t) override {}
  std::uint32_t attributes(const char*) override { return kAttributeDirectory; }
  bool set_attributes(const char*, std::uint32_t) override { return true; }
  bool create_directory(const char*) override { return true; }
  bool delete_file(const char*) override { return true; }
  bool remove_directory(const char*) override { return true; }

 private:
  text::LeadByteTable lead_;
  int files_;
  int position_ = 0;
};

long allocations_listing(int files) {
  SyntheticFileSystem fs(files);
  static char buffers[2000][kMaxPath * 2];
  static char* pointers[2000];
  for (int i = 0; i < 2000; ++i) pointers[i] = buffers[i];
  const long before = allocations;
  EXPECT_EQ(list_files(fs, "C:\\d\\*.*", pointers, 1), files);
  return allocations - before;
}

long allocations_deleting(int files) {
  SyntheticFileSystem fs(files);
  const long before = allocations;
  EXPECT_EQ(delete_matching_files(fs, "C:\\d\\*.*"), 0);
  return allocations - before;
}

TEST(Allocations, ListingAndDeletingDoNotAllocatePerEntry) {
  EXPECT_EQ(allocations_listing(10), allocations_listing(2000));
  EXPECT_EQ(allocations_deleting(10), allocations_deleting(2000));
}

}  // namespace
}  // namespace tarn::fsutil
