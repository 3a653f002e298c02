// Win32 adapter of the progress bar's drawing port: USER32 and GDI32, ANSI forms.
#pragma once

#include "winutil/gdi_port.h"

namespace tarn::winutil {

class Win32Gdi final : public GdiPort {
 public:
  std::optional<ClientRect> client_rect(WindowHandle window) override;
  DeviceContext get_dc(WindowHandle window) override;
  void release_dc(WindowHandle window, DeviceContext context) override;
  std::int32_t text_height(DeviceContext context) override;
  BrushHandle create_solid_brush(Colour colour) override;
  DeviceContext create_compatible_dc(DeviceContext context) override;
  BitmapHandle create_compatible_bitmap(DeviceContext context, std::int32_t width,
                                        std::int32_t height) override;
  void select_bitmap(DeviceContext context, BitmapHandle bitmap) override;
  void select_brush(DeviceContext context, BrushHandle brush) override;
  void pat_blt(DeviceContext context, std::int32_t x, std::int32_t y, std::int32_t width,
               std::int32_t height, std::uint32_t operation) override;
  void bit_blt(DeviceContext target, std::int32_t x, std::int32_t y, std::int32_t width,
               std::int32_t height, DeviceContext source, std::int32_t source_x,
               std::int32_t source_y, std::uint32_t operation) override;
  void set_text_color(DeviceContext context, Colour colour) override;
  void set_bk_mode(DeviceContext context, std::int32_t mode) override;
  void set_text_align(DeviceContext context, std::uint32_t alignment) override;
  void text_out(DeviceContext context, std::int32_t x, std::int32_t y,
                std::string_view text) override;
  void delete_dc(DeviceContext context) override;
  void delete_brush(BrushHandle brush) override;
  void delete_bitmap(BitmapHandle bitmap) override;
};

}  // namespace tarn::winutil
