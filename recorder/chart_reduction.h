// The records in view, reduced to what a chart of `width` pixel columns can
// show: for each series and column the lowest and highest reading in it,
// with where its line comes from, so that a drawer never walks the records.
//
// Column c holds the records with time in [from + c*d, from + (c+1)*d),
// d = (to - from) / width. A time t sits at x = (t - from) / d in column
// units, so column c covers x in [c, c+1).
//
// Drawing it: for each non-empty column, a stroke from `low` to `high`; a
// line from the previous non-empty column's `last` to this column's `first`
// when `joinsPrevious`; a line from `enters` to the first non-empty column,
// and from the last one to `leaves`, when those are there (with no column
// in view, from `enters` to `leaves`).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "recorder/chart_records.h"
#include "recorder/chart_store.h"

namespace calorix::recorder {

struct ChartColumn {
  // Stored readings (chart_records.h); kNoReading everywhere in an empty column.
  std::int16_t low = kNoReading;
  std::int16_t high = kNoReading;
  std::int16_t first = kNoReading;  // the column's earliest reading in file order
  std::int16_t last = kNoReading;   // and its latest
  // The line runs into `first` from the series' reading before it.
  bool joinsPrevious = false;

  bool Empty() const { return high == kNoReading; }
};

// A reading just outside the view whose line crosses the view's edge.
struct ChartEdgePoint {
  double x = 0;  // column units: below 0 left of the view, width or more right of it
  std::int16_t value = kNoReading;
};

struct ChartSeriesView {
  std::vector<ChartColumn> columns;      // `width` of them
  std::optional<ChartEdgePoint> enters;  // its line runs on into the view
  std::optional<ChartEdgePoint> leaves;  // the line in view runs on to it
};

struct ChartView {
  double from = 0;
  double to = 0;
  int width = 0;
  std::size_t records = 0;  // records in view
  std::array<ChartSeriesView, kChartSeriesCount> series;
};

// Widths beyond this are reduced as this many columns.
inline constexpr int kWidestChart = 1 << 16;

// Reduces the records with time in [from, to) to `width` columns, reusing
// the vectors of `view` (a redraw allocates nothing once sizes settle). An
// empty or invalid range gives empty columns. The work is a binary search
// per column and stretch plus one pass over the records in view.
//
// Where time went back (see chart_store.h), a later stretch shares columns
// with an earlier one: the columns hold the readings of both, `last` and the
// edges come from the later one.
void ReduceChart(const ChartStore& store, double from, double to, int width, ChartView& view);

}  // namespace calorix::recorder
