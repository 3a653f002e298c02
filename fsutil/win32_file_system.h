// Win32 adapter of the file-system port: the ANSI calls, one for one.
#pragma once

#include "fsutil/file_system.h"

namespace tarn::fsutil {

class Win32FileSystem final : public FileSystem {
 public:
  const text::LeadByteTable& lead_bytes() const override;
  SearchHandle find_first(const char* pattern, FindEntry& first) override;
  bool find_next(SearchHandle search, FindEntry& next) override;
  void find_close(SearchHandle search) override;
  std::size_t full_path(const char* path, char* buffer, std::size_t size) override;
  std::uint32_t last_error() override;
  void set_last_error(std::uint32_t code) override;
  std::uint32_t attributes(const char* path) override;
  bool set_attributes(const char* path, std::uint32_t attributes) override;
  bool create_directory(const char* path) override;
  bool delete_file(const char* path) override;
  bool remove_directory(const char* path) override;
};

// The adapter holds no state, so every call on every thread can share this one.
FileSystem& win32_file_system();

}  // namespace tarn::fsutil
