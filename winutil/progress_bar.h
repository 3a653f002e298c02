// The progress bar painter: fills the client area of a window with a blue part in proportion to
// `fraction` and a white rest, and writes the percentage in the middle, inverted over both.
#pragma once

#include <cstdint>

#include "winutil/gdi_port.h"

namespace tarn::winutil {

// Paints the bar through `gdi`, composing it off screen and putting it on the window in exactly
// two transfers: the plain bar, then an exclusive-or of a layer that holds only the text.
// Everything it creates is released before it returns. Returns 0, also when nothing could be
// drawn (no such window, no window context, a brush that could not be created).
std::int32_t paint_progress_bar(GdiPort& gdi, WindowHandle window, double fraction);

}  // namespace tarn::winutil
