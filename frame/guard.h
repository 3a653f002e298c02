// The exception barrier every export runs its logic behind.
#pragma once

#include <cstdint>
#include <utility>

namespace tarn::frame {

// Runs `logic` and returns its result; anything it throws (exhausted memory above all) ends
// here as `on_failure`, because no exception may cross into the host.
template <class Logic>
std::int32_t guarded(std::int32_t on_failure, Logic&& logic) noexcept {
  try {
    return static_cast<std::int32_t>(std::forward<Logic>(logic)());
  } catch (...) {
    return on_failure;
  }
}

}  // namespace tarn::frame
