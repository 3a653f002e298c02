// A help port that follows a script: whether the registry key exists and what its default value
// holds, which paths load, whether a library has the entry. It logs every call with its
// arguments and is safe to call from several threads.
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "winutil/help_port.h"

namespace tarn::fakes {

// What the scripted port gives back.
struct HelpScript {
  bool key_exists = true;
  // The bytes the registry read gives back, NUL included when wanted; nothing for a failed
  // read (such as a value larger than the buffer).
  std::optional<std::string> value = std::string("C:\\windows\\system32\\hhctrl.ocx", 31);
  // The paths that load; each gets its own library.
  std::vector<std::string> loadable = {"C:\\windows\\system32\\hhctrl.ocx", "hhctrl.ocx"};
  bool has_entry = true;
};

class ScriptedHelp final : public winutil::HelpPort {
 public:
  static constexpr std::uintptr_t kEngineWindow = 0x4848;

  using Script = HelpScript;

  explicit ScriptedHelp(Script script = {}) : script_(std::move(script)) {}

  void set_has_entry(bool has_entry);
  std::vector<std::string> calls() const;
  void clear_calls();
  // The file pointers the entry was given, to check they arrive unchanged.
  std::vector<const char*> files_passed() const;
  // How many logged calls begin with `prefix`, such as "LoadLibraryA".
  int count(const std::string& prefix) const;

  std::optional<winutil::RegistryKey> open_classes_root_key(const char* subkey) override;
  std::optional<std::size_t> query_default_value(winutil::RegistryKey key,
                                                 std::span<char> buffer) override;
  void close_key(winutil::RegistryKey key) override;
  winutil::LibraryHandle load_library(const char* path) override;
  winutil::EntryAddress entry_by_ordinal(winutil::LibraryHandle library,
                                         std::uint16_t ordinal) override;
  std::uintptr_t call_entry(winutil::EntryAddress entry, std::uintptr_t owner, const char* file,
                            std::uint32_t command, std::uintptr_t data) override;

 private:
  void log(std::string call);

  mutable std::mutex mutex_;
  Script script_;
  std::vector<std::string> calls_;
  std::vector<const char*> files_passed_;
};

}  // namespace tarn::fakes
