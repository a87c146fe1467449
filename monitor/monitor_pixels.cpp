#include "monitor/monitor_pixels.h"

#include <cstdint>

namespace calorix::monitor {

namespace {

using platform::Point;
using platform::Rect;
using platform::WindowManager;

constexpr int kOwnDpi = 96;

// value * dpi / 96, rounded half away from zero as MulDiv rounds.
int Scaled(int value, int dpi) {
  const std::int64_t product = std::int64_t{value} * dpi;
  const std::int64_t half = kOwnDpi / 2;
  return static_cast<int>(product >= 0 ? (product + half) / kOwnDpi
                                       : -((-product + half) / kOwnDpi));
}

}  // namespace

MonitorPixels::MonitorPixels(WindowManager& windows, platform::WindowHandle monitor)
    : windows_(windows), monitor_(monitor), awareness_(windows, monitor) {}

std::optional<Rect> MonitorPixels::Converted(PointConversion conversion, const Rect& rect) {
  // Every point converts through the top-level window: the system converts
  // only the part of a child window that overlaps its parent.
  const auto topLeft = (windows_.*conversion)(monitor_, {rect.left, rect.top});
  const auto bottomRight = (windows_.*conversion)(monitor_, {rect.right, rect.bottom});
  if (!topLeft || !bottomRight) return std::nullopt;
  return Rect{topLeft->x, topLeft->y, bottomRight->x, bottomRight->y};
}

std::optional<Rect> MonitorPixels::WindowRect(platform::WindowHandle window) {
  const auto rect = windows_.GetWindowRect(window);
  if (!rect || awareness_.Adopted()) return rect;
  return Converted(&WindowManager::PhysicalToLogicalPoint, *rect).value_or(*rect);
}

bool MonitorPixels::MoveMonitor(const Rect& rect) {
  if (awareness_.Adopted()) return Move(monitor_, rect);
  return Move(monitor_, Converted(&WindowManager::LogicalToPhysicalPoint, rect).value_or(rect));
}

bool MonitorPixels::MoveControl(platform::WindowHandle control, const Rect& rect) {
  if (awareness_.Adopted()) return Move(control, rect);
  return Move(control, ControlPlaceToPhysical(rect).value_or(rect));
}

// The system scales a virtualised window as a whole, so a place relative
// to the client area scales by the window's dpi.
std::optional<Rect> MonitorPixels::ControlPlaceToPhysical(const Rect& rect) {
  const auto dpi = MonitorDpi();
  if (!dpi) return std::nullopt;
  return Rect{Scaled(rect.left, dpi->x), Scaled(rect.top, dpi->y), Scaled(rect.right, dpi->x),
              Scaled(rect.bottom, dpi->y)};
}

// The physical pixels that 96 of the monitor's own take, measured from the
// window's corner. A difference of two converted points would be a pixel
// off whenever the corner falls between physical pixels; over 96 pixels
// the rounding at both ends is the same, since the dpi is whole.
std::optional<Point> MonitorPixels::MonitorDpi() {
  const auto physical = windows_.GetWindowRect(monitor_);
  if (!physical) return std::nullopt;
  const auto corner =
      windows_.PhysicalToLogicalPoint(monitor_, {physical->left, physical->top});
  if (!corner) return std::nullopt;
  const auto from = windows_.LogicalToPhysicalPoint(monitor_, *corner);
  const auto to = windows_.LogicalToPhysicalPoint(monitor_, {corner->x + kOwnDpi, corner->y + kOwnDpi});
  if (!from || !to) return std::nullopt;
  return Point{to->x - from->x, to->y - from->y};
}

bool MonitorPixels::Move(platform::WindowHandle window, const Rect& rect) {
  return windows_.MoveWindow(window, rect.left, rect.top, rect.Width(), rect.Height(), true);
}

}  // namespace calorix::monitor
