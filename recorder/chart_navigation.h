// Moving about the chart's time axis: the wheel zooms around the pointer,
// a drag pans, and the pointer's pixel column stands for a time.
#pragma once

#include "platform/forms.h"

namespace calorix::recorder {

// The time in view, minutes (chart_time.h).
struct ChartTimeWindow {
  double from = 0;
  double to = 0;
  double Span() const { return to - from; }
  bool operator==(const ChartTimeWindow&) const = default;
};

// The narrowest view: a few minutes still hold dozens of records at the
// shortest recording interval.
inline constexpr double kLeastSpanMinutes = 2;

// The time at the pixel column `x` of `plot`, which shows `window` across
// its width.
double TimeAtColumn(const ChartTimeWindow& window, const ui::PixelRect& plot, double x);

// `window` zoomed by wheel notches (positive: closer, each by a fifth)
// around `time`, which keeps its column. The span stays between
// kLeastSpanMinutes and `widest`.
ChartTimeWindow ZoomedAround(const ChartTimeWindow& window, double time, double notches, double widest);

// `window` moved later by `minutes`, but only so far that its middle stays
// between `earliest` and `latest`: some records are always in view.
ChartTimeWindow Panned(const ChartTimeWindow& window, double minutes, double earliest, double latest);

}  // namespace calorix::recorder
