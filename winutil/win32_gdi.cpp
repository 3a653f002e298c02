#include "winutil/win32_gdi.h"

#include <windows.h>

namespace tarn::winutil {
namespace {

template <class Win32Handle, class PortHandle>
Win32Handle win32(PortHandle handle) {
  return reinterpret_cast<Win32Handle>(static_cast<std::uintptr_t>(handle));
}

template <class PortHandle, class Win32Handle>
PortHandle port(Win32Handle handle) {
  return PortHandle{reinterpret_cast<std::uintptr_t>(handle)};
}

}  // namespace

std::optional<ClientRect> Win32Gdi::client_rect(WindowHandle window) {
  RECT rect{};
  if (!GetClientRect(win32<HWND>(window), &rect)) return std::nullopt;
  return ClientRect{rect.left, rect.top, rect.right, rect.bottom};
}

DeviceContext Win32Gdi::get_dc(WindowHandle window) {
  return port<DeviceContext>(GetDC(win32<HWND>(window)));
}

void Win32Gdi::release_dc(WindowHandle window, DeviceContext context) {
  ReleaseDC(win32<HWND>(window), win32<HDC>(context));
}

std::int32_t Win32Gdi::text_height(DeviceContext context) {
  TEXTMETRICA metrics{};
  GetTextMetricsA(win32<HDC>(context), &metrics);
  return metrics.tmHeight;
}

BrushHandle Win32Gdi::create_solid_brush(Colour colour) {
  return port<BrushHandle>(CreateSolidBrush(colour));
}

DeviceContext Win32Gdi::create_compatible_dc(DeviceContext context) {
  return port<DeviceContext>(CreateCompatibleDC(win32<HDC>(context)));
}

BitmapHandle Win32Gdi::create_compatible_bitmap(DeviceContext context, std::int32_t width,
                                                std::int32_t height) {
  return port<BitmapHandle>(CreateCompatibleBitmap(win32<HDC>(context), width, height));
}

void Win32Gdi::select_bitmap(DeviceContext context, BitmapHandle bitmap) {
  SelectObject(win32<HDC>(context), win32<HBITMAP>(bitmap));
}

void Win32Gdi::select_brush(DeviceContext context, BrushHandle brush) {
  SelectObject(win32<HDC>(context), win32<HBRUSH>(brush));
}

void Win32Gdi::pat_blt(DeviceContext context, std::int32_t x, std::int32_t y, std::int32_t width,
                       std::int32_t height, std::uint32_t operation) {
  PatBlt(win32<HDC>(context), x, y, width, height, operation);
}

void Win32Gdi::bit_blt(DeviceContext target, std::int32_t x, std::int32_t y, std::int32_t width,
                       std::int32_t height, DeviceContext source, std::int32_t source_x,
                       std::int32_t source_y, std::uint32_t operation) {
  BitBlt(win32<HDC>(target), x, y, width, height, win32<HDC>(source), source_x, source_y,
         operation);
}

void Win32Gdi::set_text_color(DeviceContext context, Colour colour) {
  SetTextColor(win32<HDC>(context), colour);
}

void Win32Gdi::set_bk_mode(DeviceContext context, std::int32_t mode) {
  SetBkMode(win32<HDC>(context), mode);
}

void Win32Gdi::set_text_align(DeviceContext context, std::uint32_t alignment) {
  SetTextAlign(win32<HDC>(context), alignment);
}

void Win32Gdi::text_out(DeviceContext context, std::int32_t x, std::int32_t y,
                        std::string_view text) {
  TextOutA(win32<HDC>(context), x, y, text.data(), static_cast<int>(text.size()));
}

void Win32Gdi::delete_dc(DeviceContext context) { DeleteDC(win32<HDC>(context)); }

void Win32Gdi::delete_brush(BrushHandle brush) { DeleteObject(win32<HBRUSH>(brush)); }

void Win32Gdi::delete_bitmap(BitmapHandle bitmap) { DeleteObject(win32<HBITMAP>(bitmap)); }

}  // namespace tarn::winutil
