// Win32 adapter of the help launcher's port: the registry, LoadLibraryA, GetProcAddress and the
// engine's HtmlHelpA entry.
#pragma once

#include "winutil/help_port.h"

namespace tarn::winutil {

class Win32Help final : public HelpPort {
 public:
  std::optional<RegistryKey> open_classes_root_key(const char* subkey) override;
  std::optional<std::size_t> query_default_value(RegistryKey key, std::span<char> buffer) override;
  void close_key(RegistryKey key) override;
  LibraryHandle load_library(const char* path) override;
  EntryAddress entry_by_ordinal(LibraryHandle library, std::uint16_t ordinal) override;
  std::uintptr_t call_entry(EntryAddress entry, std::uintptr_t owner, const char* file,
                            std::uint32_t command, std::uintptr_t data) override;
};

}  // namespace tarn::winutil
