// A drawing port that draws nothing: it logs every call with its arguments, hands out handles
// with readable names, can be told to fail a creation, and checks that every object it made is
// released exactly once and not while still selected.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "winutil/gdi_port.h"

namespace tarn::fakes {

class RecordingGdi final : public winutil::GdiPort {
 public:
  static constexpr winutil::WindowHandle kWindow{0x5a5a};

  // What the next calls give back. A window other than kWindow has no client rectangle.
  winutil::ClientRect client{0, 0, 200, 20};
  std::int32_t font_height = 16;
  std::set<winutil::Colour> failing_brushes;
  bool fail_get_dc = false;
  bool fail_memory_context = false;
  bool fail_bitmap = false;

  // Every call, such as "PatBlt(memory, 0, 0, 100, 20, PATCOPY)".
  std::vector<std::string> calls;
  // Faults seen: a release of an unknown or already released object, a delete of an object
  // still selected into a live context.
  std::vector<std::string> faults;

  // The objects made or borrowed and not yet released.
  std::vector<std::string> live() const;

  std::optional<winutil::ClientRect> client_rect(winutil::WindowHandle window) override;
  winutil::DeviceContext get_dc(winutil::WindowHandle window) override;
  void release_dc(winutil::WindowHandle window, winutil::DeviceContext context) override;
  std::int32_t text_height(winutil::DeviceContext context) override;
  winutil::BrushHandle create_solid_brush(winutil::Colour colour) override;
  winutil::DeviceContext create_compatible_dc(winutil::DeviceContext context) override;
  winutil::BitmapHandle create_compatible_bitmap(winutil::DeviceContext context, std::int32_t width,
                                                 std::int32_t height) override;
  void select_bitmap(winutil::DeviceContext context, winutil::BitmapHandle bitmap) override;
  void select_brush(winutil::DeviceContext context, winutil::BrushHandle brush) override;
  void pat_blt(winutil::DeviceContext context, std::int32_t x, std::int32_t y, std::int32_t width,
               std::int32_t height, std::uint32_t operation) override;
  void bit_blt(winutil::DeviceContext target, std::int32_t x, std::int32_t y, std::int32_t width,
               std::int32_t height, winutil::DeviceContext source, std::int32_t source_x,
               std::int32_t source_y, std::uint32_t operation) override;
  void set_text_color(winutil::DeviceContext context, winutil::Colour colour) override;
  void set_bk_mode(winutil::DeviceContext context, std::int32_t mode) override;
  void set_text_align(winutil::DeviceContext context, std::uint32_t alignment) override;
  void text_out(winutil::DeviceContext context, std::int32_t x, std::int32_t y,
                std::string_view text) override;
  void delete_dc(winutil::DeviceContext context) override;
  void delete_brush(winutil::BrushHandle brush) override;
  void delete_bitmap(winutil::BitmapHandle bitmap) override;

 private:
  std::uintptr_t make(std::string name);
  std::string name(std::uintptr_t handle) const;
  void release(std::uintptr_t handle, const char* how);
  void log(std::string call) { calls.push_back(std::move(call)); }

  std::uintptr_t next_handle_ = 0x100;
  std::map<std::uintptr_t, std::string> names_;
  std::set<std::uintptr_t> live_;
  // What each live memory context has selected: its bitmap and its brush.
  std::map<std::uintptr_t, std::set<std::uintptr_t>> selected_;
};

}  // namespace tarn::fakes
