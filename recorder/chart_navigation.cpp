#include "recorder/chart_navigation.h"

#include <algorithm>
#include <cmath>

namespace calorix::recorder {

namespace {

constexpr double kZoomPerNotch = 0.8;

}  // namespace

double TimeAtColumn(const ChartTimeWindow& window, const ui::PixelRect& plot, double x) {
  if (plot.Width() <= 0) return window.from;
  return window.from + (x - plot.left) / plot.Width() * window.Span();
}

ChartTimeWindow ZoomedAround(const ChartTimeWindow& window, double time, double notches, double widest) {
  if (!std::isfinite(notches) || window.Span() <= 0) return window;
  widest = std::max(widest, kLeastSpanMinutes);
  // Beyond a few dozen notches the span is at its limit anyway.
  const double factor = std::pow(kZoomPerNotch, std::clamp(notches, -64.0, 64.0));
  const double span = std::clamp(window.Span() * factor, kLeastSpanMinutes, widest);
  const double share = std::clamp((time - window.from) / window.Span(), 0.0, 1.0);
  const double from = time - share * span;
  return {from, from + span};
}

ChartTimeWindow Panned(const ChartTimeWindow& window, double minutes, double earliest, double latest) {
  if (!std::isfinite(minutes)) return window;
  const double middle = (window.from + window.to) / 2;
  const double moved = std::clamp(middle + minutes, std::min(earliest, middle), std::max(latest, middle));
  return {window.from + (moved - middle), window.to + (moved - middle)};
}

}  // namespace calorix::recorder
