#include "winutil/win32_help.h"

#include <windows.h>

namespace tarn::winutil {
namespace {

// The engine's HtmlHelpA: stdcall on 32-bit Windows, 16 bytes of arguments.
using HtmlHelpEntry = HWND(WINAPI*)(HWND owner, LPCSTR file, UINT command, DWORD_PTR data);

}  // namespace

std::optional<RegistryKey> Win32Help::open_classes_root_key(const char* subkey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return RegistryKey{reinterpret_cast<std::uintptr_t>(key)};
}

std::optional<std::size_t> Win32Help::query_default_value(RegistryKey key, std::span<char> buffer) {
  DWORD size = static_cast<DWORD>(buffer.size());
  const LONG status =
      RegQueryValueExA(reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(key)), "", nullptr,
                       nullptr, reinterpret_cast<BYTE*>(buffer.data()), &size);
  if (status != ERROR_SUCCESS) return std::nullopt;
  return size;
}

void Win32Help::close_key(RegistryKey key) {
  RegCloseKey(reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(key)));
}

LibraryHandle Win32Help::load_library(const char* path) {
  return LibraryHandle{reinterpret_cast<std::uintptr_t>(LoadLibraryA(path))};
}

EntryAddress Win32Help::entry_by_ordinal(LibraryHandle library, std::uint16_t ordinal) {
  const FARPROC entry = GetProcAddress(
      reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(library)), MAKEINTRESOURCEA(ordinal));
  return EntryAddress{reinterpret_cast<std::uintptr_t>(entry)};
}

std::uintptr_t Win32Help::call_entry(EntryAddress entry, std::uintptr_t owner, const char* file,
                                     std::uint32_t command, std::uintptr_t data) {
  const auto html_help = reinterpret_cast<HtmlHelpEntry>(static_cast<std::uintptr_t>(entry));
  return reinterpret_cast<std::uintptr_t>(
      html_help(reinterpret_cast<HWND>(owner), file, command, data));
}

}  // namespace tarn::winutil
