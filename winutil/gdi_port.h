// The drawing operations the progress bar needs, as a port: the Win32 adapter passes them to
// USER32 and GDI32, and the tests record them.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "winutil/progress_arithmetic.h"

namespace tarn::winutil {

// Opaque handles; the value 0 is "none", as for the Win32 handles they carry.
enum class WindowHandle : std::uintptr_t {};
enum class DeviceContext : std::uintptr_t {};
enum class BrushHandle : std::uintptr_t {};
enum class BitmapHandle : std::uintptr_t {};

using Colour = std::uint32_t;  // a COLORREF: 0x00BBGGRR

inline constexpr Colour kBlue = 0xFF0000;
inline constexpr Colour kWhite = 0xFFFFFF;
inline constexpr Colour kBlack = 0x000000;
// Blue xor white: the text layer turns blue into white and white into blue.
inline constexpr Colour kTextColour = kBlue ^ kWhite;

inline constexpr std::uint32_t kPatCopy = 0xF00021;
inline constexpr std::uint32_t kSrcCopy = 0xCC0020;
inline constexpr std::uint32_t kSrcInvert = 0x660046;
inline constexpr std::int32_t kTransparentBackground = 1;   // TRANSPARENT
inline constexpr std::uint32_t kAlignCentreBottom = 6 | 8;  // TA_CENTER | TA_BOTTOM

class GdiPort {
 public:
  virtual ~GdiPort() = default;

  // GetClientRect; nothing when the handle names no window.
  virtual std::optional<ClientRect> client_rect(WindowHandle window) = 0;
  virtual DeviceContext get_dc(WindowHandle window) = 0;
  virtual void release_dc(WindowHandle window, DeviceContext context) = 0;
  // tmHeight of the font current in `context`.
  virtual std::int32_t text_height(DeviceContext context) = 0;

  virtual BrushHandle create_solid_brush(Colour colour) = 0;
  virtual DeviceContext create_compatible_dc(DeviceContext context) = 0;
  virtual BitmapHandle create_compatible_bitmap(DeviceContext context, std::int32_t width,
                                                std::int32_t height) = 0;
  virtual void select_bitmap(DeviceContext context, BitmapHandle bitmap) = 0;
  virtual void select_brush(DeviceContext context, BrushHandle brush) = 0;

  virtual void pat_blt(DeviceContext context, std::int32_t x, std::int32_t y, std::int32_t width,
                       std::int32_t height, std::uint32_t operation) = 0;
  virtual void bit_blt(DeviceContext target, std::int32_t x, std::int32_t y, std::int32_t width,
                       std::int32_t height, DeviceContext source, std::int32_t source_x,
                       std::int32_t source_y, std::uint32_t operation) = 0;
  virtual void set_text_color(DeviceContext context, Colour colour) = 0;
  virtual void set_bk_mode(DeviceContext context, std::int32_t mode) = 0;
  virtual void set_text_align(DeviceContext context, std::uint32_t alignment) = 0;
  virtual void text_out(DeviceContext context, std::int32_t x, std::int32_t y,
                        std::string_view text) = 0;

  virtual void delete_dc(DeviceContext context) = 0;
  virtual void delete_brush(BrushHandle brush) = 0;
  virtual void delete_bitmap(BitmapHandle bitmap) = 0;
};

}  // namespace tarn::winutil
