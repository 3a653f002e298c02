#include "fakes/scripted_help.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "fakes/call_log.h"

namespace tarn::fakes {

using namespace winutil;

namespace {

constexpr std::uintptr_t kKey = 0x6b6579;
constexpr std::uintptr_t kFirstLibrary = 0x10000;
constexpr std::uintptr_t kEntryOffset = 0x1400;

std::string hex(std::uintptr_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "%#llx", static_cast<unsigned long long>(value));
  return text;
}

}  // namespace

void ScriptedHelp::log(std::string call) {
  const std::lock_guard lock(mutex_);
  calls_.push_back(std::move(call));
}

void ScriptedHelp::set_has_entry(bool has_entry) {
  const std::lock_guard lock(mutex_);
  script_.has_entry = has_entry;
}

std::vector<std::string> ScriptedHelp::calls() const {
  const std::lock_guard lock(mutex_);
  return calls_;
}

std::vector<const char*> ScriptedHelp::files_passed() const {
  const std::lock_guard lock(mutex_);
  return files_passed_;
}

void ScriptedHelp::clear_calls() {
  const std::lock_guard lock(mutex_);
  calls_.clear();
}

int ScriptedHelp::count(const std::string& prefix) const {
  const std::lock_guard lock(mutex_);
  return static_cast<int>(std::count_if(
      calls_.begin(), calls_.end(), [&](const auto& call) { return call.starts_with(prefix); }));
}

std::optional<RegistryKey> ScriptedHelp::open_classes_root_key(const char* subkey) {
  log(format_call("RegOpenKeyExA", "HKCR", subkey));
  if (!script_.key_exists) return std::nullopt;
  return RegistryKey{kKey};
}

std::optional<std::size_t> ScriptedHelp::query_default_value(RegistryKey key,
                                                             std::span<char> buffer) {
  log(format_call("RegQueryValueExA", hex(static_cast<std::uintptr_t>(key)), "\"\"",
                  buffer.size()));
  // A value larger than the buffer fails as RegQueryValueExA does, with ERROR_MORE_DATA.
  if (!script_.value || script_.value->size() > buffer.size()) return std::nullopt;
  std::memcpy(buffer.data(), script_.value->data(), script_.value->size());
  return script_.value->size();
}

void ScriptedHelp::close_key(RegistryKey key) {
  log(format_call("RegCloseKey", hex(static_cast<std::uintptr_t>(key))));
}

LibraryHandle ScriptedHelp::load_library(const char* path) {
  log(format_call("LoadLibraryA", path));
  const auto& loadable = script_.loadable;
  const auto found = std::find(loadable.begin(), loadable.end(), path);
  if (found == loadable.end()) return LibraryHandle{};
  return LibraryHandle{kFirstLibrary * static_cast<std::uintptr_t>(1 + (found - loadable.begin()))};
}

EntryAddress ScriptedHelp::entry_by_ordinal(LibraryHandle library, std::uint16_t ordinal) {
  log(format_call("GetProcAddress", hex(static_cast<std::uintptr_t>(library)), ordinal));
  const std::lock_guard lock(mutex_);
  if (!script_.has_entry) return EntryAddress{};
  return EntryAddress{static_cast<std::uintptr_t>(library) + kEntryOffset + ordinal};
}

std::uintptr_t ScriptedHelp::call_entry(EntryAddress entry, std::uintptr_t owner, const char* file,
                                        std::uint32_t command, std::uintptr_t data) {
  std::string function = "HtmlHelpA@";
  function += hex(static_cast<std::uintptr_t>(entry));
  std::string shown_file = "null";
  if (file) shown_file.assign(1, '"').append(file).push_back('"');
  log(format_call(function, hex(owner), shown_file, command, hex(data)));
  const std::lock_guard lock(mutex_);
  files_passed_.push_back(file);
  return kEngineWindow;
}

}  // namespace tarn::fakes
