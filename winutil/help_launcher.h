// The help viewer launcher: has the system's HTML Help engine display a compiled help file. The
// engine library is found through the registry (or by its file name), loaded on first use and
// kept, with its entry, for the rest of the process.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "winutil/help_port.h"

namespace tarn::winutil {

inline constexpr const char* kHelpControlServerKey =
    "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
inline constexpr const char* kHelpEngineFileName = "hhctrl.ocx";
inline constexpr std::uint16_t kHelpEntryOrdinal = 14;  // HtmlHelpA
inline constexpr std::uint32_t kDisplayTopic = 0;       // HH_DISPLAY_TOPIC
inline constexpr std::size_t kEnginePathSize = 260;

// Reads the registered path of the engine library into `path`. True only when the value was
// read and holds a terminating NUL within the bytes read, so the path can be used as it is.
bool registered_engine_path(HelpPort& port, std::array<char, kEnginePathSize>& path);

// The engine library and its entry, resolved once and then kept. Calls may run on several
// threads: each of the three variables is atomic, and concurrent first calls may each load the
// library (the loads all stay in effect, as the same module's reference count).
class HelpEngineLoader {
 public:
  enum class State { kNotLoaded, kFailed, kLoadedUnresolved, kReady };

  constexpr HelpEngineLoader() = default;

  // Loads and resolves the engine if that has not been done (or given up on), then calls it
  // with the arguments unchanged. Returns the engine's window, or 0 when it cannot be reached.
  std::uintptr_t call(HelpPort& port, std::uintptr_t owner, const char* file, std::uint32_t command,
                      std::uintptr_t data);

  State state() const;

 private:
  std::atomic<std::uintptr_t> library_{0};
  std::atomic<std::uintptr_t> entry_{0};
  // Set when neither load succeeds or the entry is missing; never reset. With a library held
  // it no longer blocks anything: only the library gates a load.
  std::atomic<bool> failed_{false};
};

// The one loader of the process, shared by every call of the export.
HelpEngineLoader& process_help_engine_loader();

// With `action` 1, has the engine display `help_file` (HH_DISPLAY_TOPIC with `data`); any other
// action does nothing. Returns 1 whether or not the engine was reached.
std::int32_t open_help(HelpPort& port, HelpEngineLoader& loader, std::uintptr_t owner,
                       const char* help_file, std::int32_t action, std::uintptr_t data);

}  // namespace tarn::winutil
