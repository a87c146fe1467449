#include "recorder/chart_drawing.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "recorder/chart_ticks.h"

namespace calorix::recorder {

namespace {

using ui::PixelPoint;
using ui::PixelRect;

constexpr ui::Rgb kWindowBack{240, 240, 240};
constexpr ui::Rgb kPlotBack{255, 255, 255};
constexpr ui::Rgb kGrid{225, 225, 225};
constexpr ui::Rgb kFrame{128, 128, 128};
constexpr ui::Rgb kLabel{0, 0, 0};
constexpr ui::Rgb kCrossHair{96, 96, 96};

struct PanelKind {
  std::array<ChartSeries, 4> series;
  int count;
  const char* unit;
  double smallestStep;  // the finest tick step that means something
  double leastSpan;     // a flat line still gets this much room around it
};

const PanelKind kPanels[] = {
    {{ChartSeries::kCpuTemp, ChartSeries::kSysTemp}, 2, "\xB0" "C", 1, 2},
    {{ChartSeries::kCpuFan, ChartSeries::kSysFan}, 2, "rpm", 1, 200},
    {{ChartSeries::kVcore, ChartSeries::kVolts33, ChartSeries::kVolts5, ChartSeries::kVolts12}, 4, "V",
     0.01, 0.2},
};
constexpr int kVoltsPanel = 2;

// Sizes at 96 dpi, in pixels.
struct Sizes {
  int font, axis, right, top, gap, timeLabels, tick, line;
  explicit Sizes(double scale)
      : font(static_cast<int>(std::lround(kChartFont.points * 96 * scale / 72))),
        axis(static_cast<int>(std::lround(50 * scale))),
        right(static_cast<int>(std::lround(14 * scale))),
        top(static_cast<int>(std::lround(8 * scale))),
        gap(static_cast<int>(std::lround(10 * scale))),
        timeLabels(font + static_cast<int>(std::lround(8 * scale))),
        tick(static_cast<int>(std::lround(4 * scale))),
        line(std::max(1, static_cast<int>(std::lround(scale)))) {}
};

// The lowest and highest shown reading of a panel in view, its edges too.
std::optional<ValueAxis> ReadingSpan(const ChartView& view, const std::vector<ChartSeries>& shown) {
  double low = HUGE_VAL, high = -HUGE_VAL;
  auto take = [&](ChartSeries series, std::int16_t stored) {
    if (stored == kNoReading) return;
    low = std::min(low, ChartValue(series, stored));
    high = std::max(high, ChartValue(series, stored));
  };
  for (const ChartSeries series : shown) {
    const ChartSeriesView& lines = view.series[static_cast<int>(series)];
    for (const ChartColumn& column : lines.columns) {
      take(series, column.low);
      take(series, column.high);
    }
    if (lines.enters) take(series, lines.enters->value);
    if (lines.leaves) take(series, lines.leaves->value);
  }
  if (low > high) return std::nullopt;
  return ValueAxis{low, high};
}

ValueAxis AxisFor(std::optional<ValueAxis> span, const PanelKind& kind) {
  if (!span) return {0, kind.leastSpan * 50};
  const double middle = (span->low + span->high) / 2;
  const double room = std::max(span->high - span->low, kind.leastSpan);
  // A little air above and below, except where a flat line sits centred.
  const double half = room == kind.leastSpan ? room / 2 : room * 0.55;
  return {middle - half, middle + half};
}

class Painter {
 public:
  Painter(ui::Drawing& drawing, const Sizes& sizes) : drawing_(drawing), sizes_(sizes) {}

  void Fill(PixelRect rect, ui::Rgb colour) { drawing_.operations.emplace_back(ui::FilledRect{rect, colour}); }
  void Line(PixelPoint from, PixelPoint to, ui::Rgb colour) { Lines({from, to}, colour, 1); }
  void Lines(std::vector<PixelPoint> points, ui::Rgb colour, int width) {
    ui::Polyline line;
    line.points = std::move(points);
    line.colour = colour;
    line.width = width;
    drawing_.operations.emplace_back(std::move(line));
  }
  void Text(PixelPoint at, std::string text, ui::Rgb colour, ui::Align align, ui::TextBaseline baseline) {
    ui::TextAt label;
    label.at = at;
    label.text = std::move(text);
    label.colour = colour;
    label.align = align;
    label.baseline = baseline;
    drawing_.operations.emplace_back(std::move(label));
  }
  // A run of joined readings; the run is emptied for the next one.
  void Run(std::vector<PixelPoint>& run, ui::Rgb colour) {
    if (run.size() == 1) run.push_back({run[0].x + 1, run[0].y});  // a lone reading: a dot
    if (run.size() >= 2) Lines(run, colour, sizes_.line);
    run.clear();
  }

 private:
  ui::Drawing& drawing_;
  const Sizes& sizes_;
};

// A point between pixels.
struct Spot {
  double x = 0, y = 0;
};

Spot SpotOf(PixelPoint point) { return {static_cast<double>(point.x), static_cast<double>(point.y)}; }

// Where the line from `from` to `to` crosses the pixel column `edgeX`.
PixelPoint Crossing(int edgeX, Spot from, Spot to) {
  const double y = to.x == from.x ? to.y : from.y + (edgeX - from.x) / (to.x - from.x) * (to.y - from.y);
  return {edgeX, static_cast<int>(std::lround(y))};
}

// One reading's line in a panel, in runs of joined columns.
void DrawSeries(Painter& painter, const ChartSeriesView& lines, ChartSeries series,
                const PixelRect& plot, const ValueAxis& axis) {
  const auto row = [&](std::int16_t stored) {
    return std::clamp(axis.Row(plot, ChartValue(series, stored)), plot.top, plot.bottom - 1);
  };
  const auto outside = [&](const ChartEdgePoint& point) {
    return Spot{plot.left + point.x, static_cast<double>(row(point.value))};
  };
  const int rightEdge = plot.right - 1;
  const ui::Rgb colour = kSeriesColours[static_cast<int>(series)];
  std::vector<PixelPoint> run;
  const auto add = [&run](PixelPoint point) {
    if (run.empty() || !(run.back() == point)) run.push_back(point);
  };
  std::optional<PixelPoint> lastPoint;
  for (std::size_t c = 0; c < lines.columns.size(); ++c) {
    const ChartColumn& column = lines.columns[c];
    if (column.Empty()) continue;
    const int x = plot.left + static_cast<int>(c);
    const PixelPoint first{x, row(column.first)};
    if (!lastPoint) {
      if (lines.enters) add(Crossing(plot.left, outside(*lines.enters), SpotOf(first)));
    } else if (!column.joinsPrevious) {
      painter.Run(run, colour);
    }
    add(first);
    add({x, row(column.low)});
    add({x, row(column.high)});
    add({x, row(column.last)});
    lastPoint = PixelPoint{x, row(column.last)};
  }
  if (lastPoint && lines.leaves) add(Crossing(rightEdge, SpotOf(*lastPoint), outside(*lines.leaves)));
  if (!lastPoint && lines.enters && lines.leaves) {
    // The line only crosses the view, from one reading outside it to the next.
    add(Crossing(plot.left, outside(*lines.enters), outside(*lines.leaves)));
    add(Crossing(rightEdge, outside(*lines.enters), outside(*lines.leaves)));
  }
  painter.Run(run, colour);
}

int ColumnX(const PixelRect& plot, const ChartFrame& frame, double time) {
  return plot.left + static_cast<int>(std::lround((time - frame.from) / (frame.to - frame.from) * plot.Width()));
}

}  // namespace

int ValueAxis::Row(const PixelRect& plot, double value) const {
  return plot.top + static_cast<int>(std::lround((high - value) / (high - low) * (plot.Height() - 1)));
}

std::vector<ChartPanel> LayOutChart(int width, int height, double scale, const ShownSeries& shown) {
  const Sizes sizes(scale);
  bool volts = false;
  for (const ChartSeries series : kPanels[kVoltsPanel].series) volts = volts || shown[static_cast<int>(series)];
  const int count = volts ? 3 : 2;
  const int left = sizes.axis;
  const int right = std::max(left + 1, width - sizes.right);
  const int bottom = height - sizes.timeLabels;
  const int each = std::max(1, (bottom - sizes.top - sizes.gap * (count - 1)) / count);
  std::vector<ChartPanel> panels;
  for (int i = 0; i < count; ++i) {
    ChartPanel panel;
    const int top = sizes.top + i * (each + sizes.gap);
    panel.plot = {left, top, right, top + each};
    for (int s = 0; s < kPanels[i].count; ++s) panel.series.push_back(kPanels[i].series[s]);
    panels.push_back(std::move(panel));
  }
  return panels;
}

void DrawCrossHair(ui::Drawing& drawing, const std::vector<ChartPanel>& panels, ui::PixelPoint at) {
  const auto in = std::find_if(panels.begin(), panels.end(),
                               [at](const ChartPanel& panel) { return panel.plot.Contains(at); });
  if (in == panels.end()) return;
  const auto line = [&drawing](PixelPoint from, PixelPoint to) {
    drawing.operations.emplace_back(ui::Polyline{{from, to}, kCrossHair, 1});
  };
  line({at.x, panels.front().plot.top}, {at.x, panels.back().plot.bottom});
  line({in->plot.left, at.y}, {in->plot.right, at.y});
}

ui::Drawing DrawChart(const ChartStore& store, const ChartFrame& frame, ChartView& scratch) {
  const Sizes sizes(frame.scale);
  ui::Drawing drawing;
  drawing.background = kWindowBack;
  Painter painter(drawing, sizes);
  const std::vector<ChartPanel> panels = LayOutChart(frame.width, frame.height, frame.scale, frame.shown);
  const PixelRect& first = panels.front().plot;
  ReduceChart(store, frame.from, frame.to, std::max(first.Width(), 0), scratch);

  const TimeTicks times = ChooseTimeTicks(frame.from, frame.to, first.Width(), 80 * frame.scale,
                                          frame.dateSeparator, frame.timeSeparator);
  for (std::size_t p = 0; p < panels.size(); ++p) {
    const ChartPanel& panel = panels[p];
    const PixelRect& plot = panel.plot;
    const PanelKind& kind = kPanels[p];
    painter.Fill(plot, kPlotBack);
    std::vector<ChartSeries> shown;
    for (const ChartSeries series : panel.series)
      if (frame.shown[static_cast<int>(series)]) shown.push_back(series);
    const ValueAxis axis = AxisFor(ReadingSpan(scratch, shown), kind);
    const ValueTicks values =
        ChooseValueTicks(axis.low, axis.high, plot.Height(), 2.2 * sizes.font, kind.smallestStep);
    for (const double value : values.values) {
      const int y = axis.Row(plot, value);
      painter.Line({plot.left, y}, {plot.right, y}, kGrid);
      painter.Line({plot.left - sizes.tick, y}, {plot.left, y}, kFrame);
      painter.Text({plot.left - sizes.tick - 2, y}, ValueTickLabel(value, values.step), kLabel,
                   ui::Align::kRight, ui::TextBaseline::kMiddle);
    }
    for (const TimeTick& tick : times.ticks) {
      const int x = ColumnX(plot, frame, tick.time);
      painter.Line({x, plot.top}, {x, plot.bottom}, kGrid);
    }
    for (const ChartSeries series : shown)
      DrawSeries(painter, scratch.series[static_cast<int>(series)], series, plot, axis);
    painter.Text({plot.left + sizes.tick, plot.top + 1}, kind.unit, kFrame, ui::Align::kLeft,
                 ui::TextBaseline::kTop);
    // The frame last, over the lines' ends.
    painter.Lines({{plot.right - 1, plot.top},
                   {plot.left, plot.top},
                   {plot.left, plot.bottom - 1},
                   {plot.right - 1, plot.bottom - 1},
                   {plot.right - 1, plot.top}},
                  kFrame, 1);
  }
  const PixelRect& last = panels.back().plot;
  for (const TimeTick& tick : times.ticks) {
    const int x = ColumnX(last, frame, tick.time);
    painter.Line({x, last.bottom}, {x, last.bottom + sizes.tick}, kFrame);
    painter.Text({x, last.bottom + sizes.tick}, tick.label, kLabel, ui::Align::kCenter, ui::TextBaseline::kTop);
  }
  if (store.Empty()) {
    painter.Text({(first.left + first.right) / 2, (first.top + last.bottom) / 2}, "No records", kFrame,
                 ui::Align::kCenter, ui::TextBaseline::kMiddle);
  }
  return drawing;
}

}  // namespace calorix::recorder
