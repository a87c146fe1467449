#include "monitor/monitor_pixels.h"

#include <cstdint>

namespace calorix::monitor {

namespace {

using platform::Point;
using platform::Rect;
using platform::WindowManager;

constexpr int kOwnDpi = 96;

// value * numerator / denominator, rounded half away from zero as MulDiv
// rounds.
int MulDivRounded(int value, int numerator, int denominator) {
  const std::int64_t product = std::int64_t{value} * numerator;
  const std::int64_t half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator
                                       : -((-product + half) / denominator));
}

}  // namespace

MonitorPixels::MonitorPixels(WindowManager& windows, platform::WindowHandle monitor)
    : windows_(windows), monitor_(monitor), awareness_(windows, monitor) {}

std::optional<Rect> MonitorPixels::WindowRect(platform::WindowHandle window) {
  const auto rect = windows_.GetWindowRect(window);
  if (!rect || awareness_.Adopted()) return rect;
  const Point topLeft = ToLogical({rect->left, rect->top});
  const Point bottomRight = ToLogical({rect->right, rect->bottom});
  return Rect{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

bool MonitorPixels::MoveMonitor(const Rect& rect) {
  if (awareness_.Adopted()) return Move(monitor_, rect);
  const Point topLeft = ToPhysical({rect.left, rect.top});
  const Point bottomRight = ToPhysical({rect.right, rect.bottom});
  return Move(monitor_, {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y});
}

// A point on the monitor window converts through the system. One off it
// (a window's far edge is just off it, a remembered place may be far off),
// which the system may refuse, follows from the scale measured on the
// window. Without the conversion calls it stays as it is.
Point MonitorPixels::ToLogical(Point physical) {
  if (const auto converted = windows_.PhysicalToLogicalPoint(monitor_, physical)) return *converted;
  const auto mapping = Mapping();
  if (!mapping) return physical;
  return {mapping->logical.x + MulDivRounded(physical.x - mapping->physical.x, kOwnDpi, mapping->dpi.x),
          mapping->logical.y + MulDivRounded(physical.y - mapping->physical.y, kOwnDpi, mapping->dpi.y)};
}

Point MonitorPixels::ToPhysical(Point logical) {
  if (const auto converted = windows_.LogicalToPhysicalPoint(monitor_, logical)) return *converted;
  const auto mapping = Mapping();
  if (!mapping) return logical;
  return {mapping->physical.x + MulDivRounded(logical.x - mapping->logical.x, mapping->dpi.x, kOwnDpi),
          mapping->physical.y + MulDivRounded(logical.y - mapping->logical.y, mapping->dpi.y, kOwnDpi)};
}

bool MonitorPixels::MoveControl(platform::WindowHandle control, const Rect& rect) {
  if (awareness_.Adopted()) return Move(control, rect);
  // The system scales a virtualised window as a whole, so a place relative
  // to the client area scales by the window's dpi.
  const auto mapping = Mapping();
  if (!mapping) return Move(control, rect);
  const Point dpi = mapping->dpi;
  return Move(control, {MulDivRounded(rect.left, dpi.x, kOwnDpi), MulDivRounded(rect.top, dpi.y, kOwnDpi),
                        MulDivRounded(rect.right, dpi.x, kOwnDpi),
                        MulDivRounded(rect.bottom, dpi.y, kOwnDpi)});
}

// The system converts only points on the window: its corner, and the
// pixels 96 of its own take from there (the window is larger than that).
// The dpi is whole, so measuring over 96 pixels rounds alike at both ends.
std::optional<MonitorPixels::PixelMapping> MonitorPixels::Mapping() {
  const auto physical = windows_.GetWindowRect(monitor_);
  if (!physical) return std::nullopt;
  const auto corner = windows_.PhysicalToLogicalPoint(monitor_, {physical->left, physical->top});
  if (!corner) return std::nullopt;
  const auto from = windows_.LogicalToPhysicalPoint(monitor_, *corner);
  const auto to =
      windows_.LogicalToPhysicalPoint(monitor_, {corner->x + kOwnDpi, corner->y + kOwnDpi});
  if (!from || !to || to->x <= from->x || to->y <= from->y) return std::nullopt;
  return PixelMapping{*from, *corner, {to->x - from->x, to->y - from->y}};
}

bool MonitorPixels::Move(platform::WindowHandle window, const Rect& rect) {
  return windows_.MoveWindow(window, rect.left, rect.top, rect.Width(), rect.Height(), true);
}

}  // namespace calorix::monitor
