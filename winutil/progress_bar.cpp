#include "winutil/progress_bar.h"

namespace tarn::winutil {
namespace {

// Owns one GDI object made through the port and deletes it, if any, when it ends.
template <class Handle, void (GdiPort::*kDelete)(Handle)>
class GdiObject {
 public:
  explicit GdiObject(GdiPort& gdi, Handle handle = Handle{}) : gdi_(gdi), handle_(handle) {}
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  ~GdiObject() {
    if (*this) (gdi_.*kDelete)(handle_);
  }
  void hold(Handle handle) { handle_ = handle; }
  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Handle{}; }

 private:
  GdiPort& gdi_;
  Handle handle_;
};

using Brush = GdiObject<BrushHandle, &GdiPort::delete_brush>;
using Bitmap = GdiObject<BitmapHandle, &GdiPort::delete_bitmap>;
using MemoryContext = GdiObject<DeviceContext, &GdiPort::delete_dc>;

// The window's own context, borrowed with GetDC and given back with ReleaseDC.
class WindowContext {
 public:
  WindowContext(GdiPort& gdi, WindowHandle window) : gdi_(gdi), window_(window) {}
  WindowContext(const WindowContext&) = delete;
  WindowContext& operator=(const WindowContext&) = delete;
  ~WindowContext() {
    if (context_ != DeviceContext{}) gdi_.release_dc(window_, context_);
  }
  void borrow() { context_ = gdi_.get_dc(window_); }
  DeviceContext get() const { return context_; }
  explicit operator bool() const { return context_ != DeviceContext{}; }

 private:
  GdiPort& gdi_;
  WindowHandle window_;
  DeviceContext context_{};
};

}  // namespace

std::int32_t paint_progress_bar(GdiPort& gdi, WindowHandle window, double fraction) {
  // A missing brush would leave a part of the bar in whatever colour the context holds, so
  // nothing is drawn without all three; the window is not touched yet.
  Brush white(gdi, gdi.create_solid_brush(kWhite));
  if (!white) return 0;
  Brush blue(gdi, gdi.create_solid_brush(kBlue));
  if (!blue) return 0;
  Brush black(gdi, gdi.create_solid_brush(kBlack));
  if (!black) return 0;

  const PercentText text(percent_of(fraction));
  const auto client = gdi.client_rect(window);
  if (!client) return 0;
  const BarSize bar = bar_size(*client);
  const std::int32_t filled = filled_width(bar.width, fraction);

  // The owners are declared in the reverse of the order they must let go: the memory context
  // first, which frees the bitmap and the black brush selected into it, then the window's
  // context, then the bitmap, then the brushes. A GDI object still selected into a context
  // cannot be deleted, so this order is what lets every delete succeed.
  Bitmap bitmap(gdi);
  WindowContext window_context(gdi, window);
  MemoryContext memory(gdi);

  window_context.borrow();
  if (!window_context) return 0;
  const DeviceContext screen = window_context.get();
  const std::int32_t text_height = gdi.text_height(screen);
  memory.hold(gdi.create_compatible_dc(screen));
  // Compatible with the window's context: one made from the memory context would be monochrome.
  bitmap.hold(gdi.create_compatible_bitmap(screen, bar.width, bar.height));
  // Either may be missing: without a memory context the steps below fail inside GDI, without a
  // bitmap they draw into the context's own 1x1 bitmap. The sequence still runs to its end and
  // releases what exists.
  const DeviceContext canvas = memory.get();
  if (bitmap) gdi.select_bitmap(canvas, bitmap.get());

  gdi.select_brush(canvas, blue.get());
  gdi.pat_blt(canvas, 0, 0, filled, bar.height, kPatCopy);
  gdi.select_brush(canvas, white.get());
  gdi.pat_blt(canvas, filled, 0, unfilled_width(bar.width, filled), bar.height, kPatCopy);
  gdi.bit_blt(screen, 0, 0, bar.width, bar.height, canvas, 0, 0, kSrcCopy);

  // The text layer: black everywhere (xor leaves the bar alone), the glyphs in blue xor white.
  gdi.select_brush(canvas, black.get());
  gdi.pat_blt(canvas, 0, 0, bar.width, bar.height, kPatCopy);
  gdi.set_text_color(canvas, kTextColour);
  gdi.set_bk_mode(canvas, kTransparentBackground);
  gdi.set_text_align(canvas, kAlignCentreBottom);
  const TextAnchor anchor = text_anchor(bar, text_height);
  gdi.text_out(canvas, anchor.x, anchor.y, text.view());
  gdi.bit_blt(screen, 0, 0, bar.width, bar.height, canvas, 0, 0, kSrcInvert);
  return 0;
}

}  // namespace tarn::winutil
