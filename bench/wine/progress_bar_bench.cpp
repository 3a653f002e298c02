// Calls per second of Processor painting a 400x24 bar into a real window under Wine, beside
// two references measured in the same run: the same GDI sequence written inline (what the
// library's layers cost on top of GDI) and the two transfers to the window alone.
// Usage: progress_bar_bench PATH_TO_TARN_DLL
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tarn.h"

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 24;
constexpr int kRounds = 7;
constexpr auto kRoundLength = std::chrono::milliseconds(700);

HWND create_bar_window() {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = DefWindowProcA;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.lpszClassName = "tarn progress bar bench";
  RegisterClassA(&window_class);
  HWND window = CreateWindowExA(0, window_class.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0,
                                kWidth, kHeight, nullptr, nullptr, window_class.hInstance, nullptr);
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  return window;
}

// The painter's GDI calls written out inline, with no port and no owners.
void paint_inline(HWND window, double fraction) {
  HBRUSH white = CreateSolidBrush(0xFFFFFF), blue = CreateSolidBrush(0xFF0000),
         black = CreateSolidBrush(0);
  char text[16];
  const int length = std::snprintf(text, sizeof text, "%d%%", static_cast<int>(fraction * 100));
  RECT client;
  GetClientRect(window, &client);
  const int cx = client.right - client.left, cy = client.bottom - client.top;
  const int filled = static_cast<int>(cx * fraction);
  HDC screen = GetDC(window);
  TEXTMETRICA metrics;
  GetTextMetricsA(screen, &metrics);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, cx, cy);
  SelectObject(memory, bitmap);
  SelectObject(memory, blue);
  PatBlt(memory, 0, 0, filled, cy, PATCOPY);
  SelectObject(memory, white);
  PatBlt(memory, filled, 0, cx - filled, cy, PATCOPY);
  BitBlt(screen, 0, 0, cx, cy, memory, 0, 0, SRCCOPY);
  SelectObject(memory, black);
  PatBlt(memory, 0, 0, cx, cy, PATCOPY);
  SetTextColor(memory, 0x00FFFF);
  SetBkMode(memory, TRANSPARENT);
  SetTextAlign(memory, TA_CENTER | TA_BOTTOM);
  TextOutA(memory, cx / 2, cy - (cy - metrics.tmHeight) / 2, text, length);
  BitBlt(screen, 0, 0, cx, cy, memory, 0, 0, SRCINVERT);
  DeleteDC(memory);
  ReleaseDC(window, screen);
  DeleteObject(bitmap);
  for (HBRUSH brush : {black, blue, white}) DeleteObject(brush);
}

double calls_per_second(const std::function<void(double)>& call) {
  const auto start = std::chrono::steady_clock::now();
  long calls = 0;
  std::chrono::duration<double> elapsed{};
  do {
    for (int i = 0; i < 50; ++i, ++calls) call((calls % 101) / 100.0);
    elapsed = std::chrono::steady_clock::now() - start;
  } while (elapsed < kRoundLength);
  return calls / elapsed.count();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s PATH_TO_TARN_DLL\n", argv[0]);
    return 2;
  }
  std::string path = argv[1];
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  HMODULE library = LoadLibraryA(path.c_str());
  const auto processor = reinterpret_cast<decltype(&Processor)>(
      reinterpret_cast<void*>(GetProcAddress(library, "Processor")));
  if (processor == nullptr) {
    std::fprintf(stderr, "cannot load Processor from %s\n", path.c_str());
    return 2;
  }
  HWND window = create_bar_window();

  HDC screen = GetDC(window);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, kWidth, kHeight);
  SelectObject(memory, bitmap);
  const std::vector<std::pair<const char*, std::function<void(double)>>> subjects = {
      {"Processor (tarn.dll)", [&](double f) { processor(window, f); }},
      {"same GDI calls inline", [&](double f) { paint_inline(window, f); }},
      {"two window transfers only",
       [&](double) {
         BitBlt(screen, 0, 0, kWidth, kHeight, memory, 0, 0, SRCCOPY);
         BitBlt(screen, 0, 0, kWidth, kHeight, memory, 0, 0, SRCINVERT);
       }},
  };
  std::vector<std::vector<double>> rates(subjects.size());
  for (auto& subject : subjects) subject.second(0.5);  // warm up fonts and caches
  for (int round = 0; round < kRounds; ++round) {
    for (std::size_t i = 0; i < subjects.size(); ++i) {
      rates[i].push_back(calls_per_second(subjects[i].second));
    }
  }
  const double tarn_rate = median(rates[0]);
  std::printf("%dx%d bar, median of %d interleaved rounds of %lld ms\n", kWidth, kHeight, kRounds,
              static_cast<long long>(kRoundLength.count()));
  std::printf("%-28s %12s %10s %14s\n", "subject", "calls/s", "us/call", "vs Processor");
  for (std::size_t i = 0; i < subjects.size(); ++i) {
    const double rate = median(rates[i]);
    std::printf("%-28s %12.0f %10.1f %13.2fx\n", subjects[i].first, rate, 1e6 / rate,
                rate / tarn_rate);
  }
  DeleteDC(memory);
  DeleteObject(bitmap);
  ReleaseDC(window, screen);
  DestroyWindow(window);
  return 0;
}
