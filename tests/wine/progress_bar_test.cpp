// Processor paints a real window: its pixels are read back and compared with a bar and an
// inverted text drawn independently here.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "wine/tarn_dll.h"

namespace tarn::wine {
namespace {

constexpr std::uint32_t kBlue = 0x0000FF;  // 0x00RRGGBB, as a 32-bit DIB holds a pixel
constexpr std::uint32_t kWhite = 0xFFFFFF;

struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> values;
  std::uint32_t at(int x, int y) const { return values[y * width + x]; }
};

// The top-left width x height pixels of a device context, read through a 32-bit DIB.
Pixels read_pixels(HDC source, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC memory = CreateCompatibleDC(source);
  HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, dib);
  BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
  GdiFlush();
  Pixels read{width, height, {}};
  const auto* first = static_cast<const std::uint32_t*>(bits);
  for (int i = 0; i < width * height; ++i) read.values.push_back(first[i] & 0xFFFFFF);
  SelectObject(memory, previous);
  DeleteObject(dib);
  DeleteDC(memory);
  return read;
}

// A borderless top-level window whose client area is the whole window and which has no
// background brush, so nothing but the painter draws into it.
class BarWindow {
 public:
  BarWindow(int width, int height) {
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = DefWindowProcA;
    window_class.hInstance = GetModuleHandleA(nullptr);
    window_class.lpszClassName = "tarn progress bar test";
    RegisterClassA(&window_class);  // fails harmlessly when already registered
    handle_ =
        CreateWindowExA(WS_EX_TOPMOST, window_class.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0,
                        width, height, nullptr, nullptr, window_class.hInstance, nullptr);
    UpdateWindow(handle_);
    pump();
  }
  BarWindow(const BarWindow&) = delete;
  BarWindow& operator=(const BarWindow&) = delete;
  ~BarWindow() { DestroyWindow(handle_); }
  HWND handle() const { return handle_; }

  static void pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }

  Pixels pixels() const {
    const RECT client = client_rect();
    HDC context = GetDC(handle_);
    Pixels read = read_pixels(context, client.right, client.bottom);
    ReleaseDC(handle_, context);
    return read;
  }

  // What the bar should show: blue left of `filled`, white from there on, and `text` in the
  // font a fresh memory context has, centred on the middle column with its bottom on the row
  // that centres the window font's height, inverting what lies under its glyphs.
  Pixels expected(int filled, const std::string& text) const {
    const RECT client = client_rect();
    const int width = client.right, height = client.bottom;
    HDC window_context = GetDC(handle_);
    TEXTMETRICA metrics{};
    GetTextMetricsA(window_context, &metrics);
    HDC memory = CreateCompatibleDC(window_context);
    HBITMAP bitmap = CreateCompatibleBitmap(window_context, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    PatBlt(memory, 0, 0, width, height, BLACKNESS);
    SetTextColor(memory, RGB(255, 255, 0));
    SetBkMode(memory, TRANSPARENT);
    SetTextAlign(memory, TA_CENTER | TA_BOTTOM);
    TextOutA(memory, width / 2, height - (height - metrics.tmHeight) / 2, text.data(),
             static_cast<int>(text.size()));
    Pixels picture = read_pixels(memory, width, height);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(handle_, window_context);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) picture.values[y * width + x] ^= x < filled ? kBlue : kWhite;
    }
    return picture;
  }

 private:
  RECT client_rect() const {
    RECT client{};
    GetClientRect(handle_, &client);
    return client;
  }
  HWND handle_;
};

// The pixels of each kind: blue, white, and anything else.
struct Census {
  int blue = 0;
  int white = 0;
  int other = 0;
};

Census count(const Pixels& pixels, int from_x, int to_x) {
  Census census;
  for (int y = 0; y < pixels.height; ++y) {
    for (int x = from_x; x < to_x; ++x) {
      const auto value = pixels.at(x, y);
      (value == kBlue ? census.blue : value == kWhite ? census.white : census.other)++;
    }
  }
  return census;
}

// Wine draws the text smoothed, so glyph edges mix the two colours; the cores of the glyphs
// and everything outside the text are pure blue or white.
class Processor : public testing::Test {
 protected:
  // One window for the suite: Wine takes a while to map a new one. Every test paints the
  // whole bar anew.
  static void SetUpTestSuite() { shared_window = std::make_unique<BarWindow>(200, 20); }
  static void TearDownTestSuite() { shared_window.reset(); }
  static inline std::unique_ptr<BarWindow> shared_window;
  BarWindow& window = *shared_window;
};

TEST_F(Processor, ClientAreaIsTheBar) {
  RECT client{};
  ASSERT_TRUE(GetClientRect(window.handle(), &client));
  EXPECT_EQ(client.right, 200);
  EXPECT_EQ(client.bottom, 20);
}

TEST_F(Processor, HalfFullBarWithTextInvertedOverBothParts) {
  ASSERT_EQ(dll().Processor(window.handle(), 0.5), 0);
  const Pixels shown = window.pixels();
  for (const int row : {0, 19}) {
    for (int x = 0; x < 200; ++x) ASSERT_EQ(shown.at(x, row), x < 100 ? kBlue : kWhite) << x;
  }
  // The text straddles the middle: glyph pixels show white over blue and blue over white.
  const Census left = count(shown, 0, 100), right = count(shown, 100, 200);
  EXPECT_GT(left.white, 0);
  EXPECT_GT(right.blue, 0);
  EXPECT_GT(left.blue, 100 * 20 / 2);
  EXPECT_GT(right.white, 100 * 20 / 2);
  EXPECT_TRUE(shown.values == window.expected(100, "50%").values);
}

TEST_F(Processor, BarsFromEmptyToFull) {
  const struct {
    double fraction;
    int filled;
    const char* text;
  } cases[] = {{0.29, 57, "28%"}, {0.0, 0, "0%"}, {1.0, 200, "100%"}, {0.005, 1, "0%"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fraction);
    ASSERT_EQ(dll().Processor(window.handle(), c.fraction), 0);
    const Pixels shown = window.pixels();
    // Row 0 lies above the text.
    int blue_columns = 0, white_columns = 0;
    for (int x = 0; x < 200; ++x) {
      blue_columns += shown.at(x, 0) == kBlue;
      white_columns += shown.at(x, 0) == kWhite;
    }
    EXPECT_EQ(blue_columns, c.filled);
    EXPECT_EQ(white_columns, 200 - c.filled);
    const Census all = count(shown, 0, 200);
    EXPECT_GT(c.filled == 0 ? all.blue : all.white, 0) << "no inverted text";
    EXPECT_TRUE(shown.values == window.expected(c.filled, c.text).values);
  }
}

TEST_F(Processor, ThousandsOfCallsLeakNoGdiObject) {
  // Windows counts the process's GDI objects; Wine answers 0 there. Under both, a new object
  // takes the first free slot of the handle table, so with nothing leaked the slot stays put.
  auto next_object_slot = [] {
    HBRUSH probe = CreateSolidBrush(0);
    const auto slot = reinterpret_cast<std::uintptr_t>(probe) & 0xFFFF;
    DeleteObject(probe);
    return slot;
  };
  const DWORD objects_before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  const auto slot_before = next_object_slot();
  for (int call = 0; call < 5000; ++call) {
    ASSERT_EQ(dll().Processor(window.handle(), (call % 101) / 100.0), 0);
  }
  EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), objects_before);
  EXPECT_EQ(next_object_slot(), slot_before);
  ASSERT_EQ(dll().Processor(window.handle(), 0.5), 0);
  EXPECT_TRUE(window.pixels().values == window.expected(100, "50%").values);
}

TEST(ProcessorWithoutWindow, NullAndStaleHandlesDrawNothing) {
  HWND stale =
      CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 50, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(stale, nullptr);
  DestroyWindow(stale);
  EXPECT_EQ(dll().Processor(stale, 0.5), 0);
  EXPECT_EQ(dll().Processor(nullptr, 0.5), 0);
}

}  // namespace
}  // namespace tarn::wine
