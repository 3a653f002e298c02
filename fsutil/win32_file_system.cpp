#include "fsutil/win32_file_system.h"

#include <windows.h>

#include <cstring>

namespace tarn::fsutil {
namespace {

static_assert(sizeof(WIN32_FIND_DATAA::cFileName) == sizeof(FindEntry::name));
static_assert(kInvalidAttributes == INVALID_FILE_ATTRIBUTES);
static_assert(kAttributeReparsePoint == FILE_ATTRIBUTE_REPARSE_POINT);

HANDLE to_handle(SearchHandle search) { return reinterpret_cast<HANDLE>(search); }

void take_entry(const WIN32_FIND_DATAA& data, FindEntry& entry) {
  entry.attributes = data.dwFileAttributes;
  std::memcpy(entry.name, data.cFileName, sizeof entry.name);
  entry.name[sizeof entry.name - 1] = '\0';
}

}  // namespace

FileSystem& win32_file_system() {
  static Win32FileSystem fs;
  return fs;
}

const text::LeadByteTable& Win32FileSystem::lead_bytes() const { return text::ansi_lead_bytes(); }

SearchHandle Win32FileSystem::find_first(const char* pattern, FindEntry& first) {
  WIN32_FIND_DATAA data;
  const HANDLE search = FindFirstFileA(pattern, &data);
  if (search == INVALID_HANDLE_VALUE) return kNoSearch;
  take_entry(data, first);
  return reinterpret_cast<SearchHandle>(search);
}

bool Win32FileSystem::find_next(SearchHandle search, FindEntry& next) {
  WIN32_FIND_DATAA data;
  if (!FindNextFileA(to_handle(search), &data)) return false;
  take_entry(data, next);
  return true;
}

void Win32FileSystem::find_close(SearchHandle search) { FindClose(to_handle(search)); }

std::size_t Win32FileSystem::full_path(const char* path, char* buffer, std::size_t size) {
  return GetFullPathNameA(path, static_cast<DWORD>(size), buffer, nullptr);
}

std::uint32_t Win32FileSystem::last_error() { return GetLastError(); }
void Win32FileSystem::set_last_error(std::uint32_t code) { SetLastError(code); }

std::uint32_t Win32FileSystem::attributes(const char* path) { return GetFileAttributesA(path); }

bool Win32FileSystem::set_attributes(const char* path, std::uint32_t attributes) {
  return SetFileAttributesA(path, attributes) != 0;
}

bool Win32FileSystem::create_directory(const char* path) {
  return CreateDirectoryA(path, nullptr) != 0;
}

bool Win32FileSystem::delete_file(const char* path) { return DeleteFileA(path) != 0; }

bool Win32FileSystem::remove_directory(const char* path) { return RemoveDirectoryA(path) != 0; }

}  // namespace tarn::fsutil
