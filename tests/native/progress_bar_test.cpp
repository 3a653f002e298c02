#include "winutil/progress_bar.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "fakes/recording_gdi.h"
#include "winutil/progress_arithmetic.h"

namespace tarn::winutil {
namespace {

using fakes::RecordingGdi;
using testing::ElementsAre;
using testing::IsEmpty;

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

struct BarCase {
  double fraction;
  BarSize bar;
  std::int32_t text_height;
  std::string text;
  std::int32_t filled;
  std::int32_t unfilled;
  TextAnchor anchor;
};

TEST(ProgressArithmetic, TableOfBars) {
  const BarCase cases[] = {
      {0.5, {200, 20}, 16, "50%", 100, 100, {100, 18}},
      // Truncated, not rounded: 0.29 × 100 is 28.999999999999996 and 200 × 0.29 is 57.99...
      {0.29, {100, 20}, 16, "28%", 28, 72, {50, 18}},
      {0.29, {200, 20}, 16, "28%", 57, 143, {100, 18}},
      // The width comes from the fraction, not from the percent.
      {0.005, {200, 20}, 16, "0%", 1, 199, {100, 18}},
      {0.0, {200, 20}, 16, "0%", 0, 200, {100, 18}},
      {1.0, {200, 20}, 16, "100%", 200, 0, {100, 18}},
      // Not clamped: the widths go out of the bar as computed.
      {1.5, {200, 20}, 16, "150%", 300, -100, {100, 18}},
      {-0.25, {200, 20}, 16, "-25%", -50, 250, {100, 18}},
      {-0.25, {201, 20}, 16, "-25%", -50, 251, {100, 18}},
      // Odd sizes: the larger half of the spare rows goes above the text, and a text taller
      // than the bar overhangs both edges.
      {0.5, {201, 21}, 16, "50%", 100, 101, {100, 19}},
      {0.5, {200, 10}, 16, "50%", 100, 100, {100, 13}},
      {0.5, {200, 11}, 16, "50%", 100, 100, {100, 13}},
      {0.5, {0, 0}, 16, "50%", 0, 0, {0, 8}},
      // Products beyond 32 bits saturate, and NaN counts as 0.
      {kNaN, {200, 20}, 16, "0%", 0, 200, {100, 18}},
      {3e7, {200, 20}, 16, "2147483647%", kMax, 200 - kMax, {100, 18}},
      {-kInfinity, {200, 20}, 16, "-2147483648%", kMin, kMax, {100, 18}},
      {2e7, {100, 20}, 16, "2000000000%", 2000000000, -1999999900, {50, 18}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "fraction " << c.fraction << ", " << c.bar.width << "x" << c.bar.height);
    EXPECT_EQ(PercentText(percent_of(c.fraction)).view(), c.text);
    const std::int32_t filled = filled_width(c.bar.width, c.fraction);
    EXPECT_EQ(filled, c.filled);
    EXPECT_EQ(unfilled_width(c.bar.width, filled), c.unfilled);
    const TextAnchor anchor = text_anchor(c.bar, c.text_height);
    EXPECT_EQ(anchor.x, c.anchor.x);
    EXPECT_EQ(anchor.y, c.anchor.y);
  }
}

TEST(ProgressArithmetic, SaturatingConversionTruncatesTowardZero) {
  EXPECT_EQ(saturating_int32(2.9), 2);
  EXPECT_EQ(saturating_int32(-2.9), -2);
  EXPECT_EQ(saturating_int32(2147483646.9), kMax - 1);
  EXPECT_EQ(saturating_int32(2147483647.5), kMax);
  EXPECT_EQ(saturating_int32(-2147483648.5), kMin);
  EXPECT_EQ(saturating_int32(-2147483647.9), kMin + 1);
  EXPECT_EQ(saturating_int32(-kNaN), 0);
  EXPECT_EQ(saturating_int32(std::int64_t{1} << 40), kMax);
}

TEST(ProgressArithmetic, BarSizeFromAnyClientRectangle) {
  EXPECT_EQ(bar_size({5, 7, 205, 27}).width, 200);
  EXPECT_EQ(bar_size({5, 7, 205, 27}).height, 20);
  EXPECT_EQ(bar_size({kMin, 0, kMax, 0}).width, kMax);
}

class ProgressBar : public testing::Test {
 protected:
  void TearDown() override {
    EXPECT_THAT(gdi.live(), IsEmpty()) << "not released";
    EXPECT_THAT(gdi.faults, IsEmpty());
  }
  std::int32_t paint(double fraction) {
    return paint_progress_bar(gdi, RecordingGdi::kWindow, fraction);
  }
  std::vector<std::string> calls_starting(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const auto& call : gdi.calls) {
      if (call.starts_with(prefix)) found.push_back(call);
    }
    return found;
  }

  RecordingGdi gdi;
};

TEST_F(ProgressBar, HalfFullBarCallByCall) {
  gdi.font_height = 16;
  ASSERT_EQ(paint(0.5), 0);
  EXPECT_THAT(
      gdi.calls,
      ElementsAre("CreateSolidBrush(ffffff)", "CreateSolidBrush(ff0000)",
                  "CreateSolidBrush(000000)", "GetClientRect(window)", "GetDC(window)",
                  "GetTextMetricsA(screen)", "CreateCompatibleDC(screen)",
                  "CreateCompatibleBitmap(screen, 200, 20)", "SelectObject(memory, bitmap)",
                  "SelectObject(memory, brush ff0000)", "PatBlt(memory, 0, 0, 100, 20, PATCOPY)",
                  "SelectObject(memory, brush ffffff)", "PatBlt(memory, 100, 0, 100, 20, PATCOPY)",
                  "BitBlt(screen, 0, 0, 200, 20, memory, 0, 0, SRCCOPY)",
                  "SelectObject(memory, brush 000000)", "PatBlt(memory, 0, 0, 200, 20, PATCOPY)",
                  "SetTextColor(memory, 00ffff)", "SetBkMode(memory, 1)",
                  "SetTextAlign(memory, 14)", "TextOutA(memory, 100, 18, \"50%\", 3)",
                  "BitBlt(screen, 0, 0, 200, 20, memory, 0, 0, SRCINVERT)", "DeleteDC(memory)",
                  "ReleaseDC(window, screen)", "DeleteObject(bitmap)", "DeleteObject(brush 000000)",
                  "DeleteObject(brush ff0000)", "DeleteObject(brush ffffff)"));
}

TEST_F(ProgressBar, WidthsAndTextFollowTheFractionUnclamped) {
  gdi.client = {0, 0, 200, 21};
  ASSERT_EQ(paint(1.5), 0);
  EXPECT_THAT(calls_starting("PatBlt"), ElementsAre("PatBlt(memory, 0, 0, 300, 21, PATCOPY)",
                                                    "PatBlt(memory, 300, 0, -100, 21, PATCOPY)",
                                                    "PatBlt(memory, 0, 0, 200, 21, PATCOPY)"));
  EXPECT_THAT(calls_starting("TextOutA"), ElementsAre("TextOutA(memory, 100, 19, \"150%\", 4)"));
  EXPECT_THAT(calls_starting("BitBlt"),
              ElementsAre("BitBlt(screen, 0, 0, 200, 21, memory, 0, 0, SRCCOPY)",
                          "BitBlt(screen, 0, 0, 200, 21, memory, 0, 0, SRCINVERT)"));
}

TEST_F(ProgressBar, BrushThatCannotBeCreatedDrawsNothing) {
  const struct {
    Colour failing;
    std::vector<std::string> calls;
  } cases[] = {
      {kWhite, {"CreateSolidBrush(ffffff)"}},
      {kBlue,
       {"CreateSolidBrush(ffffff)", "CreateSolidBrush(ff0000)", "DeleteObject(brush ffffff)"}},
      {kBlack,
       {"CreateSolidBrush(ffffff)", "CreateSolidBrush(ff0000)", "CreateSolidBrush(000000)",
        "DeleteObject(brush ff0000)", "DeleteObject(brush ffffff)"}},
  };
  for (const auto& c : cases) {
    RecordingGdi fresh;
    fresh.failing_brushes = {c.failing};
    EXPECT_EQ(paint_progress_bar(fresh, RecordingGdi::kWindow, 0.5), 0);
    EXPECT_EQ(fresh.calls, c.calls) << "failing " << c.failing;
    EXPECT_THAT(fresh.live(), IsEmpty());
  }
}

TEST_F(ProgressBar, NoWindowOrNoWindowContextDrawsNothing) {
  EXPECT_EQ(paint_progress_bar(gdi, WindowHandle{0}, 0.5), 0);
  EXPECT_THAT(calls_starting("GetDC"), IsEmpty());
  gdi.calls.clear();

  gdi.fail_get_dc = true;
  EXPECT_EQ(paint(0.5), 0);
  EXPECT_THAT(calls_starting("GetTextMetricsA"), IsEmpty());
  EXPECT_THAT(calls_starting("ReleaseDC"), IsEmpty());
  EXPECT_EQ(calls_starting("DeleteObject").size(), 3u);
}

TEST_F(ProgressBar, MissingMemoryContextIsToleratedToTheEnd) {
  gdi.fail_memory_context = true;
  ASSERT_EQ(paint(0.5), 0);
  EXPECT_THAT(calls_starting("BitBlt"),
              ElementsAre("BitBlt(screen, 0, 0, 200, 20, null, 0, 0, SRCCOPY)",
                          "BitBlt(screen, 0, 0, 200, 20, null, 0, 0, SRCINVERT)"));
  EXPECT_THAT(calls_starting("DeleteDC"), IsEmpty());
  EXPECT_THAT(calls_starting("ReleaseDC"), ElementsAre("ReleaseDC(window, screen)"));
  EXPECT_EQ(gdi.calls.back(), "DeleteObject(brush ffffff)");
}

TEST_F(ProgressBar, MissingBitmapIsNeitherSelectedNorDeleted) {
  gdi.fail_bitmap = true;
  ASSERT_EQ(paint(0.5), 0);
  EXPECT_THAT(calls_starting("SelectObject"), ElementsAre("SelectObject(memory, brush ff0000)",
                                                          "SelectObject(memory, brush ffffff)",
                                                          "SelectObject(memory, brush 000000)"));
  EXPECT_EQ(calls_starting("BitBlt").size(), 2u);
  EXPECT_THAT(calls_starting("Delete"),
              ElementsAre("DeleteDC(memory)", "DeleteObject(brush 000000)",
                          "DeleteObject(brush ff0000)", "DeleteObject(brush ffffff)"));
}

}  // namespace
}  // namespace tarn::winutil
