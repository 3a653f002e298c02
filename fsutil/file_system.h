// The file-system port of the file utilities: the few platform operations they need, in the
// shape of the ANSI Win32 calls they stand for, so that the Win32 adapter is a plain
// translation and the fake used by the unit tests can script every answer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "text/lead_bytes.h"

namespace tarn::fsutil {

inline constexpr std::size_t kMaxPath = 260;  // MAX_PATH, NUL included

// Attribute bits and error codes with their Win32 values.
inline constexpr std::uint32_t kAttributeReadOnly = 0x1;
inline constexpr std::uint32_t kAttributeHidden = 0x2;
inline constexpr std::uint32_t kAttributeSystem = 0x4;
inline constexpr std::uint32_t kAttributeDirectory = 0x10;
inline constexpr std::uint32_t kAttributeReparsePoint = 0x400;
inline constexpr std::uint32_t kInvalidAttributes = 0xFFFFFFFF;
inline constexpr std::uint32_t kErrorFileNotFound = 2;
inline constexpr std::uint32_t kErrorPathNotFound = 3;
inline constexpr std::uint32_t kErrorAccessDenied = 5;
inline constexpr std::uint32_t kErrorSharingViolation = 32;
inline constexpr std::uint32_t kErrorInvalidName = 123;
inline constexpr std::uint32_t kErrorDirNotEmpty = 145;
inline constexpr std::uint32_t kErrorAlreadyExists = 183;

// The two fields of a directory entry the utilities read (WIN32_FIND_DATAA's dwFileAttributes
// and cFileName). Fixed size, so a listing never allocates per entry.
struct FindEntry {
  std::uint32_t attributes = 0;
  char name[kMaxPath] = {};
};

// An open directory search; kNoSearch when none could be started.
using SearchHandle = std::uintptr_t;
inline constexpr SearchHandle kNoSearch = ~SearchHandle{0};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Lead bytes of the code page that the ANSI calls below interpret paths in.
  virtual const text::LeadByteTable& lead_bytes() const = 0;

  // FindFirstFileA / FindNextFileA / FindClose.
  virtual SearchHandle find_first(const char* pattern, FindEntry& first) = 0;
  virtual bool find_next(SearchHandle search, FindEntry& next) = 0;
  virtual void find_close(SearchHandle search) = 0;

  // GetFullPathNameA: the length written without its NUL, the size needed (NUL included) when
  // `size` is too small, or 0 on failure.
  virtual std::size_t full_path(const char* path, char* buffer, std::size_t size) = 0;

  // GetLastError / SetLastError.
  virtual std::uint32_t last_error() = 0;
  virtual void set_last_error(std::uint32_t code) = 0;

  // GetFileAttributesA (kInvalidAttributes when absent), SetFileAttributesA, CreateDirectoryA,
  // DeleteFileA, RemoveDirectoryA.
  virtual std::uint32_t attributes(const char* path) = 0;
  virtual bool set_attributes(const char* path, std::uint32_t attributes) = 0;
  virtual bool create_directory(const char* path) = 0;
  virtual bool delete_file(const char* path) = 0;
  virtual bool remove_directory(const char* path) = 0;
};

}  // namespace tarn::fsutil
