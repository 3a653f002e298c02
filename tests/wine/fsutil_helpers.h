// Small tools for the file utility tests on real directories.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "wine/tarn_dll.h"

namespace tarn::wine {

inline bool exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline bool is_directory(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

inline void make_file(const std::string& path, DWORD attributes = 0) {
  write_file(path, "x");
  if (attributes != 0) SetFileAttributesA(path.c_str(), attributes);
}

// The names `pattern` lists, dot entries left out, in the platform's order.
inline std::vector<std::string> entries(const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  const HANDLE search = FindFirstFileA(pattern.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = data.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search, &data));
  FindClose(search);
  return names;
}

// Empties a directory we own, protected files included, leaving the directory itself.
inline void clear_directory(const std::string& path) {
  std::error_code ignored;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(path, ignored)) {
    SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  for (const auto& entry : std::filesystem::directory_iterator(path, ignored)) {
    std::filesystem::remove_all(entry.path(), ignored);
  }
}

// A file held open, as another program would, without letting anyone delete it.
class HeldFile {
 public:
  explicit HeldFile(const std::string& path)
      : handle_(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr)) {}
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;
  ~HeldFile() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }

 private:
  HANDLE handle_;
};

// Caller buffers for GetDirFiles, each of the 520 bytes that always suffice, pre-filled so
// that stray writes show.
class PathBuffers {
 public:
  explicit PathBuffers(std::size_t count) : storage_(count, std::string(520, '#')) {
    for (std::string& buffer : storage_) pointers_.push_back(buffer.data());
  }
  char** pointers() { return pointers_.data(); }
  std::vector<std::string> written(std::size_t count) const {
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < count; ++i) paths.emplace_back(storage_[i].c_str());
    return paths;
  }
  bool untouched(std::size_t index) const { return storage_[index] == std::string(520, '#'); }

 private:
  std::vector<std::string> storage_;
  std::vector<char*> pointers_;
};

}  // namespace tarn::wine
