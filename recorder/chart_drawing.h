// The chart as a canvas's drawing: panels one above the other sharing one
// time axis, each with its own value axis, and the shown readings as lines.
//
// Panels: the temperatures on top, the fan speeds below them, and the four
// voltages in a third panel at the bottom while any of them is shown (volts
// and degrees or rpm share no scale worth drawing on one axis).
//
// Lines follow the reduction (chart_reduction.h): in each pixel column a
// vertical stroke from the lowest to the highest reading, joined to the
// next column's, and broken where the records break.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "platform/forms.h"
#include "recorder/chart_records.h"
#include "recorder/chart_reduction.h"
#include "recorder/chart_store.h"

namespace calorix::recorder {

// Which of the eight readings are drawn, in the record line's order.
using ShownSeries = std::array<bool, kChartSeriesCount>;

// The canvas's font, as the chart measures its labels.
inline constexpr ui::FontSpec kChartFont{"MS Sans Serif", 8, false};

struct ChartPanel {
  ui::PixelRect plot;               // where the lines are drawn
  std::vector<ChartSeries> series;  // the readings that belong in it
};

// The panels of a canvas `width` by `height` pixels; `scale` is the
// display's dpi over 96, which margins and lines grow by.
std::vector<ChartPanel> LayOutChart(int width, int height, double scale, const ShownSeries& shown);

struct ChartFrame {
  int width = 0, height = 0;  // the canvas, pixels
  double scale = 1;
  double from = 0, to = 0;    // the time in view, minutes (chart_time.h)
  ShownSeries shown{};
  std::string_view dateSeparator = "/";
  std::string_view timeSeparator = ":";
};

// The value axis of a panel: from `low` at its bottom pixel row to `high`
// at its top one.
struct ValueAxis {
  double low = 0;
  double high = 1;
  int Row(const ui::PixelRect& plot, double value) const;
};

// The records of `store` in the frame's time, reduced in `scratch` (kept by
// the caller so that redraws reuse its memory), as drawing operations.
ui::Drawing DrawChart(const ChartStore& store, const ChartFrame& frame, ChartView& scratch);

// The cross-hair over `drawing` at the pointer `at`: a line down through every
// panel and one across the panel the pointer is in. Nothing where the
// pointer is in no panel's plot.
void DrawCrossHair(ui::Drawing& drawing, const std::vector<ChartPanel>& panels, ui::PixelPoint at);

// The colour each reading is drawn in, also its legend's, in the record
// line's order.
inline constexpr std::array<ui::Rgb, kChartSeriesCount> kSeriesColours = {{
    {208, 48, 0},   // CPU temperature
    {0, 0, 200},    // CPU fan
    {224, 150, 0},  // system temperature
    {0, 150, 200},  // system fan
    {0, 128, 0},    // Vcore
    {128, 128, 0},  // 3.3 V
    {160, 0, 160},  // 5 V
    {96, 96, 96},   // 12 V
}};

}  // namespace calorix::recorder
