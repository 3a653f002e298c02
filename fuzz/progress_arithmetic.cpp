// The progress bar arithmetic on any fraction (NaN, infinities and subnormals included) and any
// client rectangle and font height: no undefined behaviour (the build traps on it), each value
// the saturated result of its formula worked out in wider arithmetic, and the whole paint over a
// recording GDI releasing everything it made.
#include "winutil/progress_arithmetic.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "fakes/recording_gdi.h"
#include "winutil/progress_bar.h"

namespace {

using namespace tarn::winutil;

void check(bool condition) {
  if (!condition) std::abort();
}

// The formula's value in long double, truncated toward zero and saturated to 32 bits.
std::int32_t saturated(long double value) {
  if (std::isnan(value)) return 0;
  if (value <= std::numeric_limits<std::int32_t>::min())
    return std::numeric_limits<std::int32_t>::min();
  if (value >= std::numeric_limits<std::int32_t>::max())
    return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(std::trunc(value));
}

template <class T>
T take(const std::uint8_t*& data, std::size_t& size) {
  T value{};
  const std::size_t n = size < sizeof value ? size : sizeof value;
  std::memcpy(&value, data, n);
  data += n;
  size -= n;
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const double fraction = take<double>(data, size);
  ClientRect client;
  client.left = take<std::int32_t>(data, size);
  client.top = take<std::int32_t>(data, size);
  client.right = take<std::int32_t>(data, size);
  client.bottom = take<std::int32_t>(data, size);
  const std::int32_t text_height = take<std::int32_t>(data, size);

  // The products are done in double as the painter does; only their conversion saturates.
  const std::int32_t percent = percent_of(fraction);
  check(percent == saturated(fraction * 100.0));
  const PercentText text(percent);
  std::int32_t parsed = 0;
  const auto view = text.view();
  const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), parsed);
  check(error == std::errc() && parsed == percent && end + 1 == view.data() + view.size() &&
        *end == '%');

  const BarSize bar = bar_size(client);
  check(bar.width == saturated(static_cast<long double>(client.right) - client.left));
  check(bar.height == saturated(static_cast<long double>(client.bottom) - client.top));
  const std::int32_t filled = filled_width(bar.width, fraction);
  check(filled == saturated(static_cast<double>(bar.width) * fraction));
  check(unfilled_width(bar.width, filled) ==
        saturated(static_cast<long double>(bar.width) - filled));
  const TextAnchor anchor = text_anchor(bar, text_height);
  check(anchor.x == bar.width / 2);
  const std::int64_t spare = std::int64_t{bar.height} - text_height;
  check(anchor.y == saturated(static_cast<long double>(bar.height) - spare / 2));

  tarn::fakes::RecordingGdi gdi;
  gdi.client = client;
  gdi.font_height = text_height;
  check(paint_progress_bar(gdi, tarn::fakes::RecordingGdi::kWindow, fraction) == 0);
  check(gdi.live().empty() && gdi.faults.empty());
  return 0;
}
