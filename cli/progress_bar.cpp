#include "cli/progress_bar.h"

#include <cstdio>

#include "cli/platform.h"

namespace tarn::cli {

std::string progress_line(std::uint64_t done, std::uint64_t total) {
  constexpr int kWidth = 40;
  if (done > total) done = total;
  const int percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
  const int filled = percent * kWidth / 100;
  char figures[64];
  std::snprintf(figures, sizeof figures, "] %3d%%  %.1f / %.1f MiB", percent,
                static_cast<double>(done) / (1 << 20), static_cast<double>(total) / (1 << 20));
  std::string line(1, '[');
  line.append(filled, '#').append(kWidth - filled, ' ').append(figures);
  return line;
}

ProgressBar::ProgressBar(std::uint64_t total)
    : total_(total), enabled_(total >= kLargeInput && is_terminal(stderr)) {}

ProgressBar::~ProgressBar() {
  if (enabled_ && shown_percent_ >= 0) std::fputs("\n", stderr);
}

void ProgressBar::show(std::uint64_t done) {
  if (!enabled_) return;
  const int percent = static_cast<int>((done > total_ ? total_ : done) * 100 / total_);
  if (percent == shown_percent_) return;
  shown_percent_ = percent;
  std::fprintf(stderr, "\r%s", progress_line(done, total_).c_str());
  std::fflush(stderr);
}

}  // namespace tarn::cli
