#include "winutil/progress_arithmetic.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace tarn::winutil {

namespace {
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
}  // namespace

std::int32_t saturating_int32(double value) {
  if (std::isnan(value)) return 0;
  // Both limits are exact doubles; truncation keeps every value between them in range.
  if (value <= static_cast<double>(kMin)) return kMin;
  if (value >= static_cast<double>(kMax)) return kMax;
  return static_cast<std::int32_t>(value);
}

std::int32_t saturating_int32(std::int64_t value) {
  if (value < kMin) return kMin;
  if (value > kMax) return kMax;
  return static_cast<std::int32_t>(value);
}

std::int32_t percent_of(double fraction) { return saturating_int32(fraction * 100.0); }

PercentText::PercentText(std::int32_t percent) {
  const auto end = std::to_chars(bytes_.data(), bytes_.data() + bytes_.size() - 1, percent).ptr;
  *end = '%';
  length_ = static_cast<std::size_t>(end - bytes_.data()) + 1;
}

std::int32_t filled_width(std::int32_t width, double fraction) {
  return saturating_int32(static_cast<double>(width) * fraction);
}

std::int32_t unfilled_width(std::int32_t width, std::int32_t filled) {
  return saturating_int32(std::int64_t{width} - filled);
}

BarSize bar_size(const ClientRect& client) {
  return {saturating_int32(std::int64_t{client.right} - client.left),
          saturating_int32(std::int64_t{client.bottom} - client.top)};
}

TextAnchor text_anchor(BarSize bar, std::int32_t text_height) {
  const std::int64_t spare = std::int64_t{bar.height} - text_height;
  return {bar.width / 2, saturating_int32(bar.height - spare / 2)};
}

}  // namespace tarn::winutil
