#include "winutil/help_launcher.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "fakes/scripted_help.h"

namespace tarn::winutil {
namespace {

using fakes::ScriptedHelp;
using testing::ElementsAre;
using testing::IsEmpty;
using State = HelpEngineLoader::State;

const std::string kOpenKey =
    "RegOpenKeyExA(HKCR, CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32)";
const std::string kQuery = "RegQueryValueExA(0x6b6579, \"\", 260)";
const std::string kClose = "RegCloseKey(0x6b6579)";
const std::string kLoadRegistered = "LoadLibraryA(C:\\windows\\system32\\hhctrl.ocx)";
const std::string kLoadFallback = "LoadLibraryA(hhctrl.ocx)";
// The fake numbers libraries by their place in the loadable list: 0x10000, 0x20000, ...
const std::string kResolveRegistered = "GetProcAddress(0x10000, 14)";
const std::string kResolveFallback = "GetProcAddress(0x20000, 14)";

std::string engine_call(const std::string& entry, const std::string& arguments) {
  return "HtmlHelpA@" + entry + "(" + arguments + ")";
}

class HelpLauncher : public testing::Test {
 protected:
  std::int32_t open(ScriptedHelp& port, std::int32_t action = 1, std::uintptr_t owner = 0x77,
                    const char* file = "guide.chm", std::uintptr_t data = 0x2a) {
    return open_help(port, loader, owner, file, action, data);
  }

  HelpEngineLoader loader;
};

TEST_F(HelpLauncher, ActionsOtherThanOneDoNothing) {
  ScriptedHelp port;
  for (const std::int32_t action : {0, 2, -1, 0x10001}) {
    EXPECT_EQ(open(port, action), 1) << action;
  }
  EXPECT_THAT(port.calls(), IsEmpty());
  EXPECT_EQ(loader.state(), State::kNotLoaded);
}

TEST_F(HelpLauncher, FirstCallLoadsTheRegisteredEngineAndLaterCallsGoStraightToIt) {
  ScriptedHelp port;
  EXPECT_EQ(open(port), 1);
  EXPECT_THAT(port.calls(),
              ElementsAre(kOpenKey, kQuery, kClose, kLoadRegistered, kResolveRegistered,
                          engine_call("0x1140e", "0x77, \"guide.chm\", 0, 0x2a")));
  EXPECT_EQ(loader.state(), State::kReady);

  port.clear_calls();
  EXPECT_EQ(open(port), 1);
  EXPECT_THAT(port.calls(), ElementsAre(engine_call("0x1140e", "0x77, \"guide.chm\", 0, 0x2a")));
}

TEST_F(HelpLauncher, ArgumentsReachTheEngineUnchanged) {
  ScriptedHelp port;
  const char* file = "C:\\help\\x.chm";
  EXPECT_EQ(open(port, 1, 0, nullptr, 0), 1);
  EXPECT_EQ(open(port, 1, ~std::uintptr_t{0}, file, ~std::uintptr_t{0}), 1);
  const auto calls = port.calls();
  EXPECT_EQ(calls[calls.size() - 2], engine_call("0x1140e", "0, null, 0, 0"));
  EXPECT_EQ(calls.back(), engine_call("0x1140e",
                                      "0xffffffffffffffff, \"C:\\help\\x.chm\", 0, "
                                      "0xffffffffffffffff"));
  EXPECT_THAT(port.files_passed(), ElementsAre(nullptr, file));
  EXPECT_EQ(loader.call(port, 1, file, 7, 9), ScriptedHelp::kEngineWindow);
}

TEST_F(HelpLauncher, UnusableRegistryEntriesFallBackToTheEngineFileName) {
  const auto registered = std::string("C:\\windows\\system32\\hhctrl.ocx");
  const struct {
    const char* what;
    ScriptedHelp::Script script;
    std::vector<std::string> calls_before_fallback;
  } cases[] = {
      {"no key", {.key_exists = false}, {kOpenKey}},
      {"value not read (too long)", {.value = std::nullopt}, {kOpenKey, kQuery, kClose}},
      {"no terminator in the bytes read", {.value = registered}, {kOpenKey, kQuery, kClose}},
      {"no terminator, buffer filled",
       {.value = std::string(260, 'x')},
       {kOpenKey, kQuery, kClose}},
      {"empty value", {.value = std::string()}, {kOpenKey, kQuery, kClose}},
      {"registered path does not load",
       {.loadable = {"unused", "hhctrl.ocx"}},
       {kOpenKey, kQuery, kClose, kLoadRegistered}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    HelpEngineLoader fresh;
    ScriptedHelp port(c.script);
    EXPECT_EQ(open_help(port, fresh, 1, "f.chm", 1, 2), 1);
    auto expected = c.calls_before_fallback;
    expected.insert(expected.end(), {kLoadFallback, kResolveFallback,
                                     engine_call("0x2140e", "0x1, \"f.chm\", 0, 0x2")});
    EXPECT_EQ(port.calls(), expected);
    EXPECT_EQ(fresh.state(), State::kReady);
  }
}

TEST_F(HelpLauncher, BothLoadsFailingIsFinal) {
  ScriptedHelp port({.loadable = {}});
  EXPECT_EQ(open(port), 1);
  EXPECT_THAT(port.calls(), ElementsAre(kOpenKey, kQuery, kClose, kLoadRegistered, kLoadFallback));
  EXPECT_EQ(loader.state(), State::kFailed);

  port.clear_calls();
  EXPECT_EQ(loader.call(port, 1, "f.chm", 0, 0), 0u);
  EXPECT_EQ(open(port), 1);
  EXPECT_THAT(port.calls(), IsEmpty());
}

TEST_F(HelpLauncher, LibraryWithoutTheEntryIsKeptAndLookedUpAgain) {
  ScriptedHelp port;
  port.set_has_entry(false);
  EXPECT_EQ(loader.call(port, 1, "f.chm", 0, 0), 0u);
  EXPECT_EQ(port.count("LoadLibraryA"), 1);
  EXPECT_EQ(loader.state(), State::kLoadedUnresolved);

  port.clear_calls();
  EXPECT_EQ(open(port), 1);
  EXPECT_THAT(port.calls(), ElementsAre(kResolveRegistered));

  port.clear_calls();
  port.set_has_entry(true);
  EXPECT_EQ(loader.call(port, 1, "f.chm", 0, 0), ScriptedHelp::kEngineWindow);
  EXPECT_THAT(port.calls(),
              ElementsAre(kResolveRegistered, engine_call("0x1140e", "0x1, \"f.chm\", 0, 0")));
  EXPECT_EQ(loader.state(), State::kReady);
}

TEST_F(HelpLauncher, ConcurrentFirstCallsAllReachTheEngine) {
  for (int round = 0; round < 50; ++round) {
    HelpEngineLoader fresh;
    ScriptedHelp port;
    std::vector<std::uintptr_t> results(8);
    std::vector<std::thread> threads;
    for (auto& result : results) {
      threads.emplace_back([&] { result = fresh.call(port, 1, "f.chm", 0, 0); });
    }
    for (auto& thread : threads) thread.join();
    for (const auto result : results) ASSERT_EQ(result, ScriptedHelp::kEngineWindow);
    EXPECT_EQ(port.count("HtmlHelpA"), 8);
    EXPECT_GE(port.count("LoadLibraryA"), 1);
    EXPECT_EQ(port.count("LoadLibraryA(hhctrl.ocx)"), 0);
    EXPECT_EQ(fresh.state(), State::kReady);
  }
}

TEST(ProcessHelpEngineLoader, IsOneObjectThatStartsNotLoaded) {
  EXPECT_EQ(&process_help_engine_loader(), &process_help_engine_loader());
  EXPECT_EQ(process_help_engine_loader().state(), State::kNotLoaded);
}

}  // namespace
}  // namespace tarn::winutil
