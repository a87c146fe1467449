// The chart's store from any bytes fed in any chunks, then a reduction and
// the ticks over what it read: nothing crashes, the chunks never change what
// is read, a reading reads as the rest of the program reads it, and every
// column is in order.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/numbers.h"
#include "fuzz/fuzz_check.h"
#include "monitor/leading_number.h"
#include "recorder/chart_reduction.h"
#include "recorder/chart_store.h"
#include "recorder/chart_ticks.h"

using calorix::fuzz::Shown;
using calorix::recorder::ChartSeries;
using calorix::recorder::ChartStore;
using calorix::recorder::ChartView;
using calorix::recorder::kChartSeriesCount;

namespace {

void CheckView(const ChartStore& store, const ChartView& view) {
  FUZZ_CHECK(view.records <= store.Count(), "%zu records in view of %zu", view.records, store.Count());
  for (const auto& series : view.series) {
    FUZZ_CHECK(series.columns.size() == static_cast<std::size_t>(view.width), "%zu columns for %d",
               series.columns.size(), view.width);
    for (const auto& column : series.columns) {
      if (column.Empty()) continue;
      FUZZ_CHECK(column.low <= column.first && column.first <= column.high &&
                     column.low <= column.last && column.last <= column.high,
                 "column low %d high %d first %d last %d", column.low, column.high, column.first,
                 column.last);
    }
  }
}

void CheckReading(const std::string& field, ChartSeries series) {
  const std::int16_t stored = calorix::recorder::ChartReading(field, series);
  if (stored == calorix::recorder::kNoReading) return;
  const int units = calorix::recorder::kChartUnitsPerValue[static_cast<int>(series)];
  const std::int32_t expected =
      std::clamp(calorix::RoundHalfEven(calorix::monitor::ParseLeadingNumber(field) * units), -32767, 32767);
  FUZZ_CHECK(stored == expected, "\"%s\" stored as %d for units %d, not %d", Shown(field).c_str(), stored,
             units, expected);
}

void ChooseTicks(const ChartStore& store, double from, double to, int width) {
  calorix::recorder::ChooseTimeTicks(from, to, width, 60, "/", ":");
  for (int series = 0; series < kChartSeriesCount; ++series) {
    const auto readings = store.Readings(static_cast<ChartSeries>(series));
    if (readings.empty()) continue;
    const auto [low, high] = std::minmax_element(readings.begin(), readings.end());
    const auto ticks = calorix::recorder::ChooseValueTicks(*low, *high, 300, 30, 1);
    for (const double value : ticks.values) calorix::recorder::ValueTickLabel(value, ticks.step);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  std::uint32_t chunkSeed = input.ConsumeIntegral<std::uint32_t>();
  const int width = input.ConsumeIntegralInRange(0, 4096);
  const double zoomFrom = input.ConsumeProbability<double>();
  const double zoomTo = input.ConsumeProbability<double>();
  const double anyFrom = input.ConsumeFloatingPoint<double>();
  const double anyTo = input.ConsumeFloatingPoint<double>();
  const std::string field = input.ConsumeRandomLengthString(24);
  const std::string file = input.ConsumeRemainingBytesAsString();

  // A reading reads as the rest of the program reads it, scaled to the series' units.
  for (int series = 0; series < kChartSeriesCount; ++series)
    CheckReading(field, static_cast<ChartSeries>(series));

  ChartStore whole;
  whole.Feed(file);
  ChartStore chunked;
  for (std::string_view rest = file; !rest.empty();) {
    chunkSeed = chunkSeed * 1664525u + 1013904223u;
    const std::size_t chunk = 1 + (chunkSeed >> 24) % 97;
    chunked.Feed(rest.substr(0, chunk));
    rest.remove_prefix(std::min(chunk, rest.size()));
  }
  FUZZ_CHECK(chunked.Count() == whole.Count() && chunked.UnreadLines() == whole.UnreadLines() &&
                 chunked.UnfinishedLineBytes() == whole.UnfinishedLineBytes(),
             "chunks read %zu records, %llu unread; whole %zu, %llu", chunked.Count(),
             static_cast<unsigned long long>(chunked.UnreadLines()), whole.Count(),
             static_cast<unsigned long long>(whole.UnreadLines()));
  for (std::size_t i = 0; i < whole.Count(); ++i)
    FUZZ_CHECK(chunked.LineOffset(i) == whole.LineOffset(i) && chunked.Time(i) == whole.Time(i) &&
                   chunked.BreaksBefore(i) == whole.BreaksBefore(i),
               "record %zu differs when fed in chunks", i);

  ChartView view;
  const auto span = whole.Span();
  const double from = span ? span->earliest : 0;
  const double to = span ? span->latest + 1 : 1;
  calorix::recorder::ReduceChart(whole, from, to, width, view);
  CheckView(whole, view);
  FUZZ_CHECK(view.records == whole.Count() || width == 0, "%zu of %zu records in the full view",
             view.records, whole.Count());
  const double zoomedFrom = from + (to - from) * std::min(zoomFrom, zoomTo);
  const double zoomedTo = from + (to - from) * std::max(zoomFrom, zoomTo);
  calorix::recorder::ReduceChart(whole, zoomedFrom, zoomedTo, width, view);
  CheckView(whole, view);
  calorix::recorder::ReduceChart(whole, anyFrom, anyTo, width, view);
  CheckView(whole, view);
  if (const auto nearest = whole.NearestRecord(anyFrom))
    FUZZ_CHECK(*nearest < whole.Count(), "nearest record %zu of %zu", *nearest, whole.Count());

  ChooseTicks(whole, zoomedFrom, zoomedTo, width);
  ChooseTicks(whole, anyFrom, anyTo, width);
  return 0;
}
