// Geometry of the monitor's window and its controls in the monitor's own
// pixels, the 96-dpi pixels its layout was made in, whatever the display
// scale.
#pragma once

#include <optional>

#include "platform/platform.h"

namespace calorix::monitor {

// For as long as it lives, reads and moves the monitor window and its
// controls in the monitor's pixels. Where the thread can run in the
// window's DPI awareness (Windows 10 1607 and later), that is all it takes.
// Elsewhere a DPI-aware caller sees a virtualised window in physical pixels
// (Vista to Windows 10 before 1607), so every point is converted through
// the monitor window; without the conversion calls (XP, which virtualises
// nothing) the points pass as they are.
class MonitorPixels {
 public:
  MonitorPixels(platform::WindowManager& windows, platform::WindowHandle monitor);

  // GetWindowRect of the monitor window or one of its controls.
  std::optional<platform::Rect> WindowRect(platform::WindowHandle window);
  // Moves the monitor window to `rect` on the screen.
  bool MoveMonitor(const platform::Rect& rect);
  // Moves a control to `rect`, relative to its parent's client area.
  bool MoveControl(platform::WindowHandle control, const platform::Rect& rect);

 private:
  // One point in both kinds of pixels, and the physical pixels that 96 of
  // the monitor's own take.
  struct PixelMapping {
    platform::Point physical;
    platform::Point logical;
    platform::Point dpi;
  };
  std::optional<PixelMapping> Mapping();
  platform::Point ToLogical(platform::Point physical);
  platform::Point ToPhysical(platform::Point logical);
  bool Move(platform::WindowHandle window, const platform::Rect& rect);

  platform::WindowManager& windows_;
  platform::WindowHandle monitor_;
  platform::ScopedWindowDpiAwareness awareness_;
};

}  // namespace calorix::monitor
