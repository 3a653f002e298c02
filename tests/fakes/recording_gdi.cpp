#include "fakes/recording_gdi.h"

#include <cstdio>

#include "fakes/call_log.h"

namespace tarn::fakes {

using namespace winutil;

namespace {

template <class Handle>
std::uintptr_t raw(Handle handle) {
  return static_cast<std::uintptr_t>(handle);
}

std::string hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%06x", value);
  return text;
}

std::string quoted(std::string_view text) {
  std::string quoted(1, '"');
  quoted.append(text);
  quoted.push_back('"');
  return quoted;
}

std::string operation_name(std::uint32_t operation) {
  switch (operation) {
    case kPatCopy:
      return "PATCOPY";
    case kSrcCopy:
      return "SRCCOPY";
    case kSrcInvert:
      return "SRCINVERT";
    default:
      return hex(operation);
  }
}

}  // namespace

std::uintptr_t RecordingGdi::make(std::string name) {
  const std::uintptr_t handle = next_handle_++;
  names_[handle] = std::move(name);
  live_.insert(handle);
  return handle;
}

std::string RecordingGdi::name(std::uintptr_t handle) const {
  if (handle == 0) return "null";
  if (handle == raw(kWindow)) return "window";
  const auto found = names_.find(handle);
  return found == names_.end() ? "unknown" : found->second;
}

void RecordingGdi::release(std::uintptr_t handle, const char* how) {
  if (live_.erase(handle) == 0) {
    faults.push_back(format_call(how, name(handle)) + " of an object not live");
    return;
  }
  for (const auto& [context, objects] : selected_) {
    if (objects.count(handle)) {
      faults.push_back(format_call(how, name(handle)) + " while selected in " + name(context));
    }
  }
  selected_.erase(handle);
}

std::vector<std::string> RecordingGdi::live() const {
  std::vector<std::string> objects;
  for (const auto handle : live_) objects.push_back(name(handle));
  return objects;
}

std::optional<ClientRect> RecordingGdi::client_rect(WindowHandle window) {
  log(format_call("GetClientRect", name(raw(window))));
  if (window != kWindow) return std::nullopt;
  return client;
}

DeviceContext RecordingGdi::get_dc(WindowHandle window) {
  log(format_call("GetDC", name(raw(window))));
  if (fail_get_dc) return DeviceContext{};
  return DeviceContext{make("screen")};
}

void RecordingGdi::release_dc(WindowHandle window, DeviceContext context) {
  log(format_call("ReleaseDC", name(raw(window)), name(raw(context))));
  release(raw(context), "ReleaseDC");
}

std::int32_t RecordingGdi::text_height(DeviceContext context) {
  log(format_call("GetTextMetricsA", name(raw(context))));
  return font_height;
}

BrushHandle RecordingGdi::create_solid_brush(Colour colour) {
  log(format_call("CreateSolidBrush", hex(colour)));
  if (failing_brushes.count(colour)) return BrushHandle{};
  return BrushHandle{make("brush " + hex(colour))};
}

DeviceContext RecordingGdi::create_compatible_dc(DeviceContext context) {
  log(format_call("CreateCompatibleDC", name(raw(context))));
  if (fail_memory_context) return DeviceContext{};
  const auto handle = make("memory");
  selected_[handle];
  return DeviceContext{handle};
}

BitmapHandle RecordingGdi::create_compatible_bitmap(DeviceContext context, std::int32_t width,
                                                    std::int32_t height) {
  log(format_call("CreateCompatibleBitmap", name(raw(context)), width, height));
  if (fail_bitmap) return BitmapHandle{};
  return BitmapHandle{make("bitmap")};
}

void RecordingGdi::select_bitmap(DeviceContext context, BitmapHandle bitmap) {
  log(format_call("SelectObject", name(raw(context)), name(raw(bitmap))));
  if (selected_.count(raw(context))) selected_[raw(context)].insert(raw(bitmap));
}

void RecordingGdi::select_brush(DeviceContext context, BrushHandle brush) {
  log(format_call("SelectObject", name(raw(context)), name(raw(brush))));
  if (!selected_.count(raw(context))) return;
  // A context holds one brush: the one selected before goes back to being free.
  auto& objects = selected_[raw(context)];
  std::erase_if(objects, [&](std::uintptr_t h) { return name(h).starts_with("brush"); });
  objects.insert(raw(brush));
}

void RecordingGdi::pat_blt(DeviceContext context, std::int32_t x, std::int32_t y,
                           std::int32_t width, std::int32_t height, std::uint32_t operation) {
  log(format_call("PatBlt", name(raw(context)), x, y, width, height, operation_name(operation)));
}

void RecordingGdi::bit_blt(DeviceContext target, std::int32_t x, std::int32_t y, std::int32_t width,
                           std::int32_t height, DeviceContext source, std::int32_t source_x,
                           std::int32_t source_y, std::uint32_t operation) {
  log(format_call("BitBlt", name(raw(target)), x, y, width, height, name(raw(source)), source_x,
                  source_y, operation_name(operation)));
}

void RecordingGdi::set_text_color(DeviceContext context, Colour colour) {
  log(format_call("SetTextColor", name(raw(context)), hex(colour)));
}

void RecordingGdi::set_bk_mode(DeviceContext context, std::int32_t mode) {
  log(format_call("SetBkMode", name(raw(context)), mode));
}

void RecordingGdi::set_text_align(DeviceContext context, std::uint32_t alignment) {
  log(format_call("SetTextAlign", name(raw(context)), alignment));
}

void RecordingGdi::text_out(DeviceContext context, std::int32_t x, std::int32_t y,
                            std::string_view text) {
  log(format_call("TextOutA", name(raw(context)), x, y, quoted(text), text.size()));
}

void RecordingGdi::delete_dc(DeviceContext context) {
  log(format_call("DeleteDC", name(raw(context))));
  // Deleting a context frees what was selected into it.
  selected_.erase(raw(context));
  release(raw(context), "DeleteDC");
}

void RecordingGdi::delete_brush(BrushHandle brush) {
  log(format_call("DeleteObject", name(raw(brush))));
  release(raw(brush), "DeleteObject");
}

void RecordingGdi::delete_bitmap(BitmapHandle bitmap) {
  log(format_call("DeleteObject", name(raw(bitmap))));
  release(raw(bitmap), "DeleteObject");
}

}  // namespace tarn::fakes
