#include "winutil/help_launcher.h"

#include <cstring>

namespace tarn::winutil {
namespace {

// Closes a registry key opened through the port.
class OpenKey {
 public:
  OpenKey(HelpPort& port, RegistryKey key) : port_(port), key_(key) {}
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  ~OpenKey() { port_.close_key(key_); }
  RegistryKey get() const { return key_; }

 private:
  HelpPort& port_;
  RegistryKey key_;
};

}  // namespace

bool registered_engine_path(HelpPort& port, std::array<char, kEnginePathSize>& path) {
  const auto opened = port.open_classes_root_key(kHelpControlServerKey);
  if (!opened) return false;
  const OpenKey key(port, *opened);
  const auto bytes_read = port.query_default_value(key.get(), path);
  // A value stored without its terminator would make the loader read past the buffer.
  return bytes_read && *bytes_read <= path.size() &&
         std::memchr(path.data(), '\0', *bytes_read) != nullptr;
}

std::uintptr_t HelpEngineLoader::call(HelpPort& port, std::uintptr_t owner, const char* file,
                                      std::uint32_t command, std::uintptr_t data) {
  std::uintptr_t library = library_.load(std::memory_order_acquire);
  if (library == 0 && !failed_.load(std::memory_order_acquire)) {
    std::array<char, kEnginePathSize> path{};
    LibraryHandle loaded{};
    if (registered_engine_path(port, path)) loaded = port.load_library(path.data());
    if (loaded == LibraryHandle{}) loaded = port.load_library(kHelpEngineFileName);
    if (loaded == LibraryHandle{}) {
      failed_.store(true, std::memory_order_release);
      return 0;
    }
    // Only a loaded library is stored: a concurrent first call that fails cannot wipe out the
    // library another one has loaded.
    library = static_cast<std::uintptr_t>(loaded);
    library_.store(library, std::memory_order_release);
  }
  if (library == 0) return 0;

  std::uintptr_t entry = entry_.load(std::memory_order_acquire);
  if (entry == 0) {
    entry = static_cast<std::uintptr_t>(
        port.entry_by_ordinal(LibraryHandle{library}, kHelpEntryOrdinal));
    if (entry == 0) {
      failed_.store(true, std::memory_order_release);
      return 0;
    }
    entry_.store(entry, std::memory_order_release);
  }
  return port.call_entry(EntryAddress{entry}, owner, file, command, data);
}

HelpEngineLoader::State HelpEngineLoader::state() const {
  if (entry_.load() != 0) return State::kReady;
  if (library_.load() != 0) return State::kLoadedUnresolved;
  return failed_.load() ? State::kFailed : State::kNotLoaded;
}

HelpEngineLoader& process_help_engine_loader() {
  // Constant-initialised: ready before any code of the module runs, with no guard to race on.
  static constinit HelpEngineLoader loader;
  return loader;
}

std::int32_t open_help(HelpPort& port, HelpEngineLoader& loader, std::uintptr_t owner,
                       const char* help_file, std::int32_t action, std::uintptr_t data) {
  if (action == 1) loader.call(port, owner, help_file, kDisplayTopic, data);
  return 1;
}

}  // namespace tarn::winutil
