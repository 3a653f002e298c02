// Scoped owners of Win32 handles, shared by the Win32 adapters.
#pragma once

#include <windows.h>

#include <utility>

namespace tarn::frame {

// Owns a handle from CreateFileA and closes it once, on destruction.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace tarn::frame
