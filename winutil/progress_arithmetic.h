// The numbers behind the progress bar: percent, its text, the width of the filled part and the
// anchor of the text. Pure functions, no platform.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tarn::winutil {

// Truncates toward zero into a 32-bit signed integer. A value outside the range gives the
// nearest limit and NaN gives 0, where a plain conversion would be undefined.
std::int32_t saturating_int32(double value);
std::int32_t saturating_int32(std::int64_t value);

// fraction × 100 truncated toward zero: 0.29 gives 28, because the double nearest 0.29 lies
// just below it.
std::int32_t percent_of(double fraction);

// The percent in decimal followed by one "%", such as "45%" or "-25%"; no terminator.
class PercentText {
 public:
  explicit PercentText(std::int32_t percent);
  std::string_view view() const { return {bytes_.data(), length_}; }

 private:
  std::array<char, 16> bytes_{};  // "-2147483648%" is the longest
  std::size_t length_ = 0;
};

// The width of the blue part: width × fraction truncated toward zero, not clamped to the bar,
// so a fraction below 0 or above 1 gives a width outside 0..width.
std::int32_t filled_width(std::int32_t width, double fraction);

// The width of the white part that starts at `filled`: width − filled, saturated.
std::int32_t unfilled_width(std::int32_t width, std::int32_t filled);

struct ClientRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

struct BarSize {
  std::int32_t width;
  std::int32_t height;
};

BarSize bar_size(const ClientRect& client);

struct TextAnchor {
  std::int32_t x;
  std::int32_t y;
};

// Where the text goes when it is drawn centred on x with its bottom edge on row y: x is the
// middle column, and a text of `text_height` rows is centred vertically with the larger half of
// the spare rows above it.
TextAnchor text_anchor(BarSize bar, std::int32_t text_height);

}  // namespace tarn::winutil
