// chmOpen loads the system's HTML Help engine only for action 1, through its registered path,
// and has it display a help file compiled for the test. The engine's HTML renderer is off in
// the test prefix, so the test checks what the engine does without it: the viewer's frame.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wine/tarn_dll.h"

namespace tarn::wine {
namespace {

const char* const kEngineKey = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";

std::string registered_engine_path() {
  char path[MAX_PATH] = {};
  LONG size = sizeof path;
  if (RegQueryValueA(HKEY_CLASSES_ROOT, kEngineKey, path, &size) != ERROR_SUCCESS) return {};
  return path;
}

std::string module_path(HMODULE module) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(module, path, MAX_PATH);
  return path;
}

// The visible top-level windows of this process with the given class.
std::vector<HWND> windows_of_class(const char* class_name) {
  struct Search {
    const char* class_name;
    std::vector<HWND> found;
  } search{class_name, {}};
  EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        auto& search = *reinterpret_cast<Search*>(context);
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
            std::string(name) == search.class_name) {
          search.found.push_back(window);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Handles this thread's messages until a visible viewer window shows up, for at most 10 s.
std::vector<HWND> wait_for_viewer() {
  const DWORD start = GetTickCount();
  std::vector<HWND> viewers;
  while (viewers.empty() && GetTickCount() - start < 10000) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    viewers = windows_of_class("HH Parent");
    if (viewers.empty()) Sleep(20);
  }
  return viewers;
}

std::string help_file() { return std::string("Z:") + TARN_TEST_HELP_FILE; }

TEST(ChmOpen, OnlyActionOneLoadsTheRegisteredEngine) {
  ASSERT_EQ(GetModuleHandleA("hhctrl.ocx"), nullptr) << "the engine was loaded before the test";
  const std::string file = help_file();
  for (const int action : {0, 2, -1}) {
    EXPECT_EQ(dll().chmOpen(nullptr, file.c_str(), action, 0), 1) << action;
  }
  EXPECT_EQ(GetModuleHandleA("hhctrl.ocx"), nullptr) << "loaded for an action other than 1";

  EXPECT_EQ(dll().chmOpen(nullptr, file.c_str(), 1, 0), 1);
  const HMODULE engine = GetModuleHandleA("hhctrl.ocx");
  ASSERT_NE(engine, nullptr);
  const std::string registered = registered_engine_path();
  ASSERT_FALSE(registered.empty());
  EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, module_path(engine).c_str(), -1,
                           registered.c_str(), -1),
            CSTR_EQUAL)
      << module_path(engine) << " is not " << registered;
}

// Closes every viewer through the engine's own HH_CLOSE_ALL, if the engine is loaded.
void close_all_viewers() {
  using HtmlHelpEntry = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
  const HMODULE engine = GetModuleHandleA("hhctrl.ocx");
  if (engine == nullptr) return;
  const auto html_help = reinterpret_cast<HtmlHelpEntry>(
      reinterpret_cast<void*>(GetProcAddress(engine, MAKEINTRESOURCEA(14))));
  html_help(nullptr, nullptr, 0x12 /* HH_CLOSE_ALL */, 0);
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

TEST(ChmOpen, DisplaysTheCompiledHelpFile) {
  close_all_viewers();
  ASSERT_TRUE(windows_of_class("HH Parent").empty());
  const std::string file = help_file();
  EXPECT_EQ(dll().chmOpen(nullptr, file.c_str(), 1, 0), 1);
  const auto viewers = wait_for_viewer();
  ASSERT_FALSE(viewers.empty()) << "no help window";
  char title[128] = {};
  GetWindowTextA(viewers.front(), title, sizeof title);
  EXPECT_STREQ(title, "tarn test help");
}

TEST(ChmOpen, MissingFileAndNullArgumentsStillReturnOne) {
  EXPECT_EQ(dll().chmOpen(nullptr, "C:\\no\\such\\help.chm", 1, 0), 1);
  EXPECT_EQ(dll().chmOpen(nullptr, nullptr, 1, 0), 1);
}

}  // namespace
}  // namespace tarn::wine
