// The chart window: the record file drawn as lines over time, opened and
// closed from the tray menu's "View Chart", kept up to date while the
// recorder appends to the file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "recorder/chart_drawing.h"
#include "recorder/chart_file.h"
#include "recorder/chart_layout.h"
#include "recorder/chart_reduction.h"

namespace calorix {
class App;
}

namespace calorix::recorder {

// The least outer size of the chart window, twips.
inline constexpr int kChartMinWidthTwips = 6000;
inline constexpr int kChartMinHeightTwips = 4500;

// The setting's text: a "1" or "0" for each reading; nullopt for any other text.
std::optional<ShownSeries> ParseShownSeries(std::string_view text);
std::string ShownSeriesText(const ShownSeries& shown);

// The status line: the records read and, when there are any, the lines that
// could not be.
std::string ChartStatus(const ChartStore& store);

class ChartWindow {
 public:
  explicit ChartWindow(App& app);

  // The menu's check mark is the record of whether the chart is open.
  bool IsOpen() const;
  void Open();
  void Close();
  // The record file changed (a record appended, the file cleared): an open
  // chart reads what is new and draws it.
  void Refresh();

  const ShownSeries& Shown() const { return shown_; }
  const ChartStore& Store() const { return file_.Store(); }
  // The time the chart shows, minutes (chart_time.h).
  struct TimeWindow {
    double from = 0;
    double to = 0;
  };
  TimeWindow InView() const;

 private:
  void MenuClick();
  void OnLoad();
  void OnQueryUnload();
  void OnResize();
  void RestorePlace();
  void LegendClick(int series);
  void CopyClick();
  void Redraw();

  App& app_;
  ChartFile file_;
  ChartView scratch_;  // the reduction's memory, reused by every redraw
  ShownSeries shown_{};
  ChartRange range_ = ChartRange::kAll;
  bool restoring_ = false;  // the legend is being set from the setting
};

}  // namespace calorix::recorder
