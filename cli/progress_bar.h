// A progress bar on standard error for conversions of large files.
#pragma once

#include <cstdint>
#include <string>

namespace tarn::cli {

class ProgressBar {
 public:
  // Inputs smaller than this finish before a bar would be worth reading.
  static constexpr std::uint64_t kLargeInput = 4u << 20;

  // Draws only when standard error is a terminal and `total` bytes is large; otherwise every
  // call does nothing, so scripts and logs see no control characters.
  explicit ProgressBar(std::uint64_t total);
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;
  ~ProgressBar();

  // Redraws when the shown percentage changes, so a fast conversion does not spend its time
  // on the terminal.
  void show(std::uint64_t done);

 private:
  std::uint64_t total_;
  bool enabled_;
  int shown_percent_ = -1;
};

// One frame of the bar: "[#####     ]  50%  2.0 / 4.0 MiB".
std::string progress_line(std::uint64_t done, std::uint64_t total);

}  // namespace tarn::cli
