#include "recorder/chart_reduction.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <utility>

namespace calorix::recorder {

namespace {

constexpr std::int16_t kHighest = std::numeric_limits<std::int16_t>::max();

bool Present(std::int16_t reading) { return reading != kNoReading; }

// Where times fall in the view's columns.
struct Columns {
  double from;
  double to;
  int width;

  double StartOf(int column) const { return from + (to - from) * column / width; }
  double X(double time) const { return (time - from) / (to - from) * width; }
};

// The reading less one, wrapping: a missing reading (the lowest int16)
// becomes the highest, so a plain minimum passes over it.
std::int16_t LessOneWrapping(std::int16_t reading) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(reading) - 1u);
}

// The lowest and highest reading of a span; kNoReading for both when none is
// there. Branch-free over eight lanes side by side, which compilers turn into
// vector instructions: this is the loop a redraw of a million records spends
// its time in.
std::pair<std::int16_t, std::int16_t> LowestAndHighest(std::span<const std::int16_t> readings) {
  constexpr std::size_t kLanes = 8;
  std::array<std::int16_t, kLanes> lowsLessOne, highs;
  lowsLessOne.fill(kHighest);
  highs.fill(kNoReading);  // the lowest int16, so a missing reading never wins
  std::size_t i = 0;
  for (; i + kLanes <= readings.size(); i += kLanes) {
    for (std::size_t lane = 0; lane < kLanes; ++lane) {
      highs[lane] = std::max(highs[lane], readings[i + lane]);
      lowsLessOne[lane] = std::min(lowsLessOne[lane], LessOneWrapping(readings[i + lane]));
    }
  }
  for (; i < readings.size(); ++i) {
    highs[0] = std::max(highs[0], readings[i]);
    lowsLessOne[0] = std::min(lowsLessOne[0], LessOneWrapping(readings[i]));
  }
  const std::int16_t high = *std::max_element(highs.begin(), highs.end());
  if (!Present(high)) return {kNoReading, kNoReading};
  return {static_cast<std::int16_t>(*std::min_element(lowsLessOne.begin(), lowsLessOne.end()) + 1), high};
}

// One series' readings of the records [first, end) of `stretch`, which all
// fall in one column.
ChartColumn Summarise(const ChartStore& store, std::span<const std::int16_t> readings,
                      ChartStore::Stretch stretch, std::size_t first, std::size_t end) {
  const auto [low, high] = LowestAndHighest(readings.subspan(first, end - first));
  if (!Present(high)) return {};
  std::size_t earliest = first;
  while (!Present(readings[earliest])) ++earliest;
  std::size_t latest = end - 1;
  while (!Present(readings[latest])) --latest;
  ChartColumn column{low, high, readings[earliest], readings[latest], false};
  column.joinsPrevious = earliest > stretch.first && Present(readings[earliest - 1]) &&
                         !store.BreaksBefore(earliest);
  return column;
}

// A stretch met earlier may have filled the column already.
void Merge(ChartColumn& into, const ChartColumn& column) {
  if (column.Empty()) return;
  if (into.Empty()) {
    into = column;
    return;
  }
  into.low = std::min(into.low, column.low);
  into.high = std::max(into.high, column.high);
  into.last = column.last;
  into.joinsPrevious = into.joinsPrevious || column.joinsPrevious;
}

// The line between records `before` and `before` + 1 of the stretch, when
// both are there and joined, crosses an edge of the view.
bool LineCrosses(const ChartStore& store, std::span<const std::int16_t> readings,
                 ChartStore::Stretch stretch, std::size_t after) {
  return after > stretch.first && after < stretch.end && Present(readings[after - 1]) &&
         Present(readings[after]) && !store.BreaksBefore(after);
}

void ReduceStretch(const ChartStore& store, ChartStore::Stretch stretch, const Columns& columns,
                   ChartView& view) {
  const std::size_t inView = store.FirstAtOrAfter(columns.from, stretch.first, stretch.end);
  const std::size_t pastView = store.FirstAtOrAfter(columns.to, inView, stretch.end);
  view.records += pastView - inView;

  for (int series = 0; series < kChartSeriesCount; ++series) {
    const auto readings = store.Readings(static_cast<ChartSeries>(series));
    ChartSeriesView& out = view.series[series];
    if (LineCrosses(store, readings, stretch, inView))
      out.enters = ChartEdgePoint{columns.X(store.Time(inView - 1)), readings[inView - 1]};
    if (LineCrosses(store, readings, stretch, pastView))
      out.leaves = ChartEdgePoint{columns.X(store.Time(pastView)), readings[pastView]};
  }
  if (inView == pastView) return;

  std::size_t columnFirst = inView;
  for (int column = 0; column < columns.width && columnFirst < pastView; ++column) {
    const std::size_t columnEnd =
        column + 1 == columns.width
            ? pastView
            : store.FirstAtOrAfter(columns.StartOf(column + 1), columnFirst, pastView);
    if (columnEnd == columnFirst) continue;
    for (int series = 0; series < kChartSeriesCount; ++series) {
      const auto readings = store.Readings(static_cast<ChartSeries>(series));
      Merge(view.series[series].columns[column],
            Summarise(store, readings, stretch, columnFirst, columnEnd));
    }
    columnFirst = columnEnd;
  }
}

}  // namespace

void ReduceChart(const ChartStore& store, double from, double to, int width, ChartView& view) {
  width = std::clamp(width, 0, kWidestChart);
  view.from = from;
  view.to = to;
  view.width = width;
  view.records = 0;
  for (ChartSeriesView& series : view.series) {
    series.columns.assign(static_cast<std::size_t>(width), ChartColumn{});
    series.enters.reset();
    series.leaves.reset();
  }
  const bool usable = width > 0 && std::isfinite(from) && std::isfinite(to) && to > from &&
                      std::isfinite(to - from);
  if (!usable) return;
  const Columns columns{from, to, width};
  for (std::size_t stretch = 0; stretch < store.StretchCount(); ++stretch)
    ReduceStretch(store, store.StretchAt(stretch), columns, view);
}

}  // namespace calorix::recorder
