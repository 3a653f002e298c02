// Faults in the window utilities: every port operation of a paint and of a help call fails in
// turn, by its failure value and by std::bad_alloc. Each ends in the export's result, with every
// object made or borrowed released once, and nothing drawn after the failure of a throw.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "fakes/recording_gdi.h"
#include "fakes/scripted_help.h"
#include "frame/guard.h"
#include "winutil/help_launcher.h"
#include "winutil/progress_bar.h"

namespace tarn::winutil {
namespace {

using fakes::FaultPlan;
using fakes::RecordingGdi;
using fakes::ScriptedHelp;
using testing::IsEmpty;

constexpr FaultPlan::Mode kModes[] = {FaultPlan::Mode::fail, FaultPlan::Mode::throw_bad_alloc};

bool is_release(const std::string& call) {
  return call.starts_with("ReleaseDC") || call.starts_with("DeleteDC") ||
         call.starts_with("DeleteObject");
}

// Processor as the export runs it.
std::int32_t processor(RecordingGdi& gdi, double fraction) {
  return frame::guarded(0,
                        [&] { return paint_progress_bar(gdi, RecordingGdi::kWindow, fraction); });
}

TEST(ProgressBarFaults, EveryOperationFailingEndsInZeroWithEverythingReleased) {
  RecordingGdi clean;
  ASSERT_EQ(processor(clean, 0.42), 0);
  const int operations = clean.fault.operations();
  ASSERT_GT(operations, 15);

  int injected = 0;
  for (const auto mode : kModes) {
    for (int index = 0; index < operations; ++index) {
      RecordingGdi gdi;
      gdi.fault.arm(index, mode);
      EXPECT_EQ(processor(gdi, 0.42), 0);
      injected += gdi.fault.injected();
      const std::string where = "operation " + std::to_string(index) +
                                (mode == FaultPlan::Mode::fail ? " failing" : " throwing");
      EXPECT_THAT(gdi.live(), IsEmpty()) << where;
      EXPECT_THAT(gdi.faults, IsEmpty()) << where;

      // Up to the failing operation the paint is the clean one; after a throw only releases.
      const auto& calls = gdi.calls;
      std::size_t same = 0;
      while (same < calls.size() && same < clean.calls.size() && calls[same] == clean.calls[same])
        ++same;
      if (mode == FaultPlan::Mode::throw_bad_alloc) {
        for (std::size_t i = same; i < calls.size(); ++i)
          EXPECT_TRUE(is_release(calls[i])) << where << ": " << calls[i];
      }
      // Without all three brushes the window is not even asked for its context.
      if (calls[same - 1].starts_with("CreateSolidBrush")) {
        for (const auto& call : calls) EXPECT_FALSE(call.starts_with("GetDC")) << where;
      }
    }
  }
  EXPECT_EQ(injected, 2 * operations);
  std::printf("progress bar: %d faults injected over %d operations\n", injected, operations);
}

// chmOpen as the export runs it.
std::int32_t chm_open(ScriptedHelp& port, HelpEngineLoader& loader) {
  return frame::guarded(1, [&] { return open_help(port, loader, 0x77, "guide.chm", 1, 0); });
}

TEST(HelpFaults, EveryOperationFailingEndsInOneWithTheKeyClosed) {
  ScriptedHelp clean;
  HelpEngineLoader clean_loader;
  ASSERT_EQ(chm_open(clean, clean_loader), 1);
  const int operations = clean.fault.operations();
  ASSERT_EQ(operations, 5);  // open the key, read it, load, resolve, call

  int injected = 0;
  for (const auto mode : kModes) {
    for (int index = 0; index < operations; ++index) {
      ScriptedHelp port;
      HelpEngineLoader loader;
      port.fault.arm(index, mode);
      EXPECT_EQ(chm_open(port, loader), 1);
      injected += port.fault.injected();
      EXPECT_EQ(port.keys_open(), 0) << "operation " << index;
      // Unless the loader gave up for good, the next call reaches the engine.
      if (loader.state() != HelpEngineLoader::State::kFailed) {
        EXPECT_EQ(loader.call(port, 1, "f.chm", 0, 0), ScriptedHelp::kEngineWindow)
            << "operation " << index;
        EXPECT_EQ(loader.state(), HelpEngineLoader::State::kReady);
      }
      EXPECT_EQ(port.keys_open(), 0);
    }
  }
  EXPECT_EQ(injected, 2 * operations);
  std::printf("help launcher: %d faults injected over %d operations\n", injected, operations);
}

}  // namespace
}  // namespace tarn::winutil
