// What the help launcher needs of the platform: the registry, the module loader and the help
// engine's entry. The Win32 adapter passes these to ADVAPI32 and KERNEL32; tests script them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tarn::winutil {

// Opaque handles; the value 0 is "none".
enum class RegistryKey : std::uintptr_t {};
enum class LibraryHandle : std::uintptr_t {};
enum class EntryAddress : std::uintptr_t {};

class HelpPort {
 public:
  virtual ~HelpPort() = default;

  // RegOpenKeyExA(HKEY_CLASSES_ROOT, subkey, 0, KEY_READ); nothing when it fails.
  virtual std::optional<RegistryKey> open_classes_root_key(const char* subkey) = 0;
  // RegQueryValueExA of the key's default value into `buffer`. On success gives the number of
  // bytes written; nothing on any failure, a value larger than the buffer included.
  virtual std::optional<std::size_t> query_default_value(RegistryKey key,
                                                         std::span<char> buffer) = 0;
  virtual void close_key(RegistryKey key) = 0;

  // LoadLibraryA; 0 when it fails.
  virtual LibraryHandle load_library(const char* path) = 0;
  // GetProcAddress by ordinal; 0 when the library has no such entry.
  virtual EntryAddress entry_by_ordinal(LibraryHandle library, std::uint16_t ordinal) = 0;
  // Calls an entry of the engine's HtmlHelpA form and gives back its window handle.
  virtual std::uintptr_t call_entry(EntryAddress entry, std::uintptr_t owner, const char* file,
                                    std::uint32_t command, std::uintptr_t data) = 0;
};

}  // namespace tarn::winutil
